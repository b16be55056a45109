// The literals below are written in UTF-8; the compiler turns them into Windows-1252 bytes,
// which is what every window, message and file of the program holds.
#include "ui/Texts.h"

#include <array>

namespace kv::texts {
namespace {

// One literal per language, in code order: Dutch, English, French, Frisian.
using Four = std::array<std::string_view, 4>;

bool Known(Language language) { return language >= 0 && language <= 3; }

// A code outside 0 to 3 chooses nothing: the caller then sets or shows nothing.
Text Pick(Language language, const Four& literals) {
    if (!Known(language)) return std::nullopt;
    return std::string(literals[static_cast<std::size_t>(language)]);
}

// The chosen literal before the value, the value as it is, the chosen literal after it.
Text Around(Language language, const Four& before, std::string_view value, const Four& after) {
    if (!Known(language)) return std::nullopt;
    const auto i = static_cast<std::size_t>(language);
    std::string text(before[i]);
    text.append(value);
    text.append(after[i]);
    return text;
}

constexpr std::string_view kFontOpen = "<FONT  size=\"14\" face=\"Arial\" ><B> ";
constexpr std::string_view kFontClose = "</B></FONT>";

std::string Marked(std::string_view words) {
    std::string text(kFontOpen);
    text.append(words);
    text.append(kFontClose);
    return text;
}

}  // namespace

std::string AlreadyRunning() { return "Kovelar wordt al gebruikt...."; }

std::string AppName() { return "Kovelar"; }

std::string VersionText(int major, int minor, int release, int build) {
    return "Versie " + std::to_string(major) + "." + std::to_string(minor) + "." +
           std::to_string(release) + "." + std::to_string(build);
}

std::string AppTitle(std::string_view versionText) {
    return "Kovelar : " + std::string(versionText);
}

std::string InfoTitle(std::string_view versionText) {
    return "Info (" + std::string(versionText) + ")";
}

std::string SiteHint() { return "Klik hier om naar de site van Quilbex te gaan..."; }

std::string AboutNotice() { return "Freeware © 2026 Quilbex"; }

std::string MakerSite() { return "https://www.quilbex.nl/"; }

// A failed write is reported in Dutch only, whatever the language.
std::string WriteFailed(std::string_view path) {
    std::string text = "'";
    text.append(path);
    text.append("'\r\nkan niet worden weggeschreven...");
    return text;
}

// The settings save adds the system's own reason on a line of its own.
std::string WriteFailed(std::string_view path, std::string_view errorText) {
    std::string text = WriteFailed(path);
    text.append("\r\n");
    text.append(errorText);
    return text;
}

std::string ErrorCaption() { return "ERROR!"; }

Text MenuSettings(Language l) {
    return Pick(l, {"&Instellingen", "&Configuration", "&Configuration", "&Konfiguraatsje"});
}

Text MenuStop(Language l) { return Pick(l, {"&Stop", "E&xit", "&Quitter", "&Ophâlde"}); }

Text MenuInfo(Language l) { return Pick(l, {"&Info", "&Info", "&Info", "&Ynfo"}); }

Text NeverUpdated(Language l) {
    return Pick(l, {" Nog niet eerder gebruikt.", " Not used yet.", " Première utilisation.",
                    " Noch net earder brûkt."});
}

Text LastUpdateValue(Language l, std::string_view dateTime) {
    return Around(l, {" Laatste update: ", " Last update: ", " Dernière MAJ : ", " Lêste fernijing: "},
                  dateTime, {"", "", "", ""});
}

Text JumpFailed(Language l, std::string_view parameters) {
    return Around(l, {"Naar '", "Impossible to switch to '", "Kovelar ne peut accéder à '", "Nei '"},
                  parameters,
                  {"' kan niet geschakeld worden..", "' ..", "'", "' kin net skeakele wurde.."});
}

Text NoMatch(Language l, std::string_view term) {
    return Around(l,
                  {"Geen directories met '", "No folder matches '",
                   "Aucun dossier ne correspond au critère '", "Gjin folders mei '"},
                  term, {"' gevonden", "'", "'", "' fûn"});
}

Text ManyMatches(Language l, std::size_t count, std::string_view term) {
    const Text counted = Around(l, {"Kovelar (", "Kovelar (", "Kovelar (", "Kovelar ("},
                                std::to_string(count),
                                {" directories gevonden met '", " folders match '",
                                 " dossiers correspondent à '", " folders fûn mei '"});
    if (!counted) return std::nullopt;
    return *counted + std::string(term) + "')";
}

Text SettingsCaption(Language l) {
    return Pick(l, {"Configuratie", "Configuration", "Configuration", "Konfiguraasje"});
}

Text LanguageName(Language l, int item) {
    static constexpr std::array<Four, 4> kNames{{
        {"Nederlands", "Engels", "Frans", "Fries"},
        {"Dutch", "English", "French", "Fries"},
        {"Holland", "Anglais", "Français", "Frison"},
        {"Hollansk", "Ingelsk", "Fransk", "Frysk"},
    }};
    if (!Known(l) || item < 0 || item > 3) return std::nullopt;
    return std::string(kNames[static_cast<std::size_t>(l)][static_cast<std::size_t>(item)]);
}

Text InfoButton(Language l) { return Pick(l, {"&Info", "&Info", "&Info", "&Ynfo"}); }

Text SeekButton(Language l) { return Pick(l, {"&Zoek", "&Seek", "&Chercher", "&Sykje"}); }

Text ExePanelCaption(Language l) {
    const Text words = Pick(l, {"Pad van Totalcmd.exe", "Location of Totalcmd.exe",
                                "Emplacement de Totalcmd.exe", "Paad fan Totalcmd.exe"});
    return words ? Text(Marked(*words)) : std::nullopt;
}

Text UpdatePanelCaption(Language l, std::string_view dataDirectory) {
    const Text words = Around(l, {"", "", "Mise à jour de ", ""}, dataDirectory,
                              {"Kovelar.dat update", "Kovelar.dat update", "Kovelar.dat",
                               "Kovelar.dat fernije"});
    return words ? Text(Marked(*words)) : std::nullopt;
}

Text LanguagePanelCaption(Language l) {
    const Text words = Pick(l, {"Taal", "Language", "Langue", "Taal"});
    return words ? Text(Marked(*words)) : std::nullopt;
}

Text FolderCountLabel(Language l) {
    return Pick(l, {"Aantal directories:", "Folders found :", "Nb. de dossiers:",
                    "Hoefolle folders:"});
}

Text LastUpdateLabel(Language l, std::string_view lastUpdateText) {
    return Around(l, {"Laatste update: ", "Last Update : ", "Dernière MAJ : ", "Lêste fernijing: "},
                  lastUpdateText, {"", "", "", ""});
}

Text UpdateDone(Language l) {
    return Pick(l, {"Kovelar.dat is weer bijgewerkt....", "Kovelar.dat succesfully updated....",
                    "Kovelar.dat mis à jour avec succès....", "Kovelar.dat is wer bywurke...."});
}

Text PleaseWait(Language l) {
    return Pick(l, {"Even geduld a.u.b. ...!", "Please wait ...!", "Attendez s.v.p ...!",
                    "Graach efkes tiid dwaan . ...!"});
}

Text InfoCaption(Language l) {
    return Pick(l, {"Informatie", "Information", "Informatique", "Ynformaasje"});
}

Text HelpResource(Language l) { return Pick(l, {"MNED", "MENG", "MFRA", "MFRS"}); }

Text LaunchFailed(Language l, std::string_view link) {
    return Around(l, {"'", "'", "'", "'"}, link,
                  {"' kan niet worden gestart...", "' cannot be launched...",
                   "' ne peut pas être executé...", "' kin net start wurde..."});
}

}  // namespace kv::texts
