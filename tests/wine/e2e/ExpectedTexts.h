#pragma once

// The texts the program shows, as the Windows-1252 bytes that it holds, written out here on
// their own so that a wrong text in the program cannot make its own expectation. Accented
// letters are hex escapes; a literal is split where an escape would swallow the next letter.

#include <array>
#include <string>

namespace kv::e2e {

inline constexpr int kLanguages = 4;  // 0 Dutch, 1 English, 2 French, 3 Frisian

inline const std::string kAlreadyRunning = "Kovelar wordt al gebruikt....";
inline const std::string kAppName = "Kovelar";
inline const std::string kErrorCaption = "ERROR!";

inline std::string NoMatchText(int language, const std::string& term) {
    switch (language) {
        case 0:
            return "Geen directories met '" + term + "' gevonden";
        case 1:
            return "No folder matches '" + term + "'";
        case 2:
            return "Aucun dossier ne correspond au crit\xE8re '" + term + "'";
        case 3:
            return "Gjin folders mei '" + term + "' f\xFBn";
    }
    return {};
}

inline std::string ManyMatchesText(int language, int count, const std::string& term) {
    const std::string n = std::to_string(count);
    switch (language) {
        case 0:
            return "Kovelar (" + n + " directories gevonden met '" + term + "')";
        case 1:
            return "Kovelar (" + n + " folders match '" + term + "')";
        case 2:
            return "Kovelar (" + n + " dossiers correspondent \xE0 '" + term + "')";
        case 3:
            return "Kovelar (" + n + " folders f\xFBn mei '" + term + "')";
    }
    return {};
}

inline std::string JumpFailedText(int language, const std::string& parameters) {
    switch (language) {
        case 0:
            return "Naar '" + parameters + "' kan niet geschakeld worden..";
        case 1:
            return "Impossible to switch to '" + parameters + "' ..";
        case 2:
            return "Kovelar ne peut acc\xE9"
                   "der \xE0 '" +
                   parameters + "'";
        case 3:
            return "Nei '" + parameters + "' kin net skeakele wurde..";
    }
    return {};
}

// The index save's text; the settings save adds CR LF and the error's own message.
inline std::string WriteFailedText(const std::string& path) {
    return "'" + path + "'\r\nkan niet worden weggeschreven...";
}

struct MenuCaptions {
    std::string settings, stop, info;
};

// The captions of the menu's window description, which stay for a code outside 0 to 3.
inline const MenuCaptions kDesignMenu{"&Instellingen", "&Stop", "&Info"};

inline const std::array<MenuCaptions, kLanguages> kMenu{{
    {"&Instellingen", "&Stop", "&Info"},
    {"&Configuration", "E&xit", "&Info"},
    {"&Configuration", "&Quitter", "&Info"},
    {"&Konfiguraatsje", "&Oph\xE2lde", "&Ynfo"},
}};

inline const std::array<std::string, kLanguages> kNeverUpdated{
    " Nog niet eerder gebruikt.", " Not used yet.", " Premi\xE8re utilisation.",
    " Noch net earder br\xFBkt."};

inline const std::array<std::string, kLanguages> kSettingsCaption{"Configuratie", "Configuration",
                                                                  "Configuration", "Konfiguraasje"};

}  // namespace kv::e2e
