#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Every text the user sees, in Windows-1252 bytes. A language-dependent text is chosen by the
// code at the moment it is shown: 0 Dutch, 1 English, 2 French, 3 Frisian. For any other code
// these functions give nullopt and the caller sets or shows nothing.
namespace kv::texts {

using Language = std::int32_t;
using Text = std::optional<std::string>;

// One language only.
std::string AlreadyRunning();                                  // "Kovelar wordt al gebruikt...."
std::string AppName();                                         // "Kovelar"
std::string VersionText(int major, int minor, int release, int build);  // "Versie 3.0.0.6"
std::string AppTitle(std::string_view versionText);           // "Kovelar : Versie 3.0.0.6"
std::string InfoTitle(std::string_view versionText);          // "Info (Versie 3.0.0.6)"
std::string SiteHint();
std::string AboutNotice();                                     // the info window's notice line
std::string MakerSite();                                       // the address the photo opens
std::string WriteFailed(std::string_view path);               // "'path'\r\nkan niet ..."
std::string WriteFailed(std::string_view path, std::string_view errorText);  // settings save
std::string ErrorCaption();                                    // "ERROR!"

// Chosen by language.
Text MenuSettings(Language);
Text MenuStop(Language);
Text MenuInfo(Language);
Text NeverUpdated(Language);
Text LastUpdateValue(Language, std::string_view dateTime);
Text JumpFailed(Language, std::string_view parameters);
Text NoMatch(Language, std::string_view term);
Text ManyMatches(Language, std::size_t count, std::string_view term);
Text SettingsCaption(Language);
Text LanguageName(Language, int item);                         // item 0..3
Text InfoButton(Language);
Text SeekButton(Language);
Text ExePanelCaption(Language);
Text UpdatePanelCaption(Language, std::string_view dataDirectory);
Text LanguagePanelCaption(Language);
Text FolderCountLabel(Language);
Text LastUpdateLabel(Language, std::string_view lastUpdateText);
Text UpdateDone(Language);
Text PleaseWait(Language);
Text InfoCaption(Language);
Text HelpResource(Language);                                   // "MNED", "MENG", "MFRA", "MFRS"
Text LaunchFailed(Language, std::string_view link);

}  // namespace kv::texts
