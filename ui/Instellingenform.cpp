#include "ui/Instellingenform.h"

#include "link/DataDirectory.h"
#include "toolkit/App.h"
#include "ui/Aboutform.h"
#include "ui/ControlIds.h"
#include "ui/Mainform.h"
#include "ui/Texts.h"

namespace kv {

TfInstellingen* fInstellingen = nullptr;

namespace {

// The panel captions are mark-up; a plain frame shows their text without the tags.
std::string WithoutTags(std::string_view markup) {
    std::string text;
    bool inTag = false;
    for (const char c : markup) {
        if (c == '<')
            inTag = true;
        else if (c == '>')
            inTag = false;
        else if (!inTag)
            text.push_back(c);
    }
    return text;
}

void SetIfChosen(Window& window, const texts::Text& text) {
    if (text) window.SetText(*text);
}

}  // namespace

TfInstellingen::TfInstellingen()
    : Form({.className = "TfInstellingen",
            .caption = "Instellingen",
            .style = WS_POPUP | WS_CAPTION,
            .exStyle = WS_EX_DLGMODALFRAME,
            .bounds = {0, 0, 431, 534},
            .clientSized = true,
            .centred = true,
            .font = {.face = "Arial", .height = 16}}) {
    OnShow = [this] { FormShow(); };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    rgTaal.OnClick = [this] { rgTaalClick(); };
    bStart.OnClick = [this] { bStartClick(); };
    bZoek.OnClick = [this] { bZoekClick(); };
    bInfo.OnClick = [this] { bInfoClick(); };
    bKlaar.OnClick = [this] { bKlaarClick(); };
    bKlaar.modalResult = ModalResult::Ok;
}

void TfInstellingen::CreateControls() {
    gbWincmd.Create(*this, {.id = ids::gbWincmd,
                            .bounds = {8, 12, 409, 111},
                            .text = WithoutTags("<FONT  size=\"14\" face=\"Arial\" ><B>Waar staat  "
                                                "de Totalcommander?</B></FONT>")});
    eNaam.Create(*this, {.control = {.id = ids::eNaam, .bounds = {24, 67, 273, 29}}});
    bZoek.Create(*this, {.id = ids::bZoek, .bounds = {324, 49, 76, 55}, .text = "Zoek"});

    gbUpdate.Create(*this, {.id = ids::gbUpdate, .bounds = {8, 132, 409, 189}});
    lAantal.Create(
        *this, {.id = ids::lAantal, .bounds = {24, 183, 147, 21}, .text = " Aantal directories:"});
    eAantal.Create(*this,
                   {.control = {.id = ids::eAantal, .bounds = {176, 180, 121, 29}, .text = "0"},
                    .readOnly = true,
                    .numeric = true,
                    .rightAligned = true});
    lUpdate.Create(*this,
                   {.id = ids::lUpdate, .bounds = {24, 222, 377, 21}, .text = "Laatste update: "});
    Progress.Create(*this, {.id = ids::Progress, .bounds = {24, 268, 377, 33}, .visible = false});
    bStart.Create(*this, {.id = ids::bStart, .bounds = {324, 169, 76, 55}, .text = "&Start"});

    rgTaalback.Create(*this, {.id = ids::rgTaalback, .bounds = {8, 328, 409, 105}});
    rgTaal.Create(*this, {.firstId = ids::rgTaalItem0,
                          .bounds = {24, 362, 377, 60},
                          .columns = 2,
                          .itemHeight = 28,
                          .items = {"Nederlands", "Engels", "Frans", "Fries"}});

    bInfo.Create(*this, {.id = ids::bInfo, .bounds = {20, 451, 76, 56}, .text = "&Info"});
    bKlaar.Create(*this, {.id = ids::bKlaar, .bounds = {325, 451, 76, 56}, .text = "OK"});
}

// Selecting the language comes first: on the first showing in a run the group has no
// selection yet, so the selection changes, reports a click, and rgTaalClick stores the
// settings, reads them back and runs this handler once more, nested, before it goes on.
void TfInstellingen::FormShow() {
    StampUpdate = false;
    rgTaal.SetItemIndex(Language);

    const texts::Language language = Language;
    for (int i = 0; i < rgTaal.Count(); ++i)
        if (const texts::Text name = texts::LanguageName(language, i)) rgTaal.SetItem(i, *name);
    SetIfChosen(bInfo, texts::InfoButton(language));
    SetIfChosen(bZoek, texts::SeekButton(language));
    if (const texts::Text caption = texts::ExePanelCaption(language))
        gbWincmd.SetText(WithoutTags(*caption));
    if (const texts::Text caption =
            texts::UpdatePanelCaption(language, DataDirectory(kCommanderPath)))
        gbUpdate.SetText(WithoutTags(*caption));
    if (const texts::Text caption = texts::LanguagePanelCaption(language))
        rgTaalback.SetText(WithoutTags(*caption));
    SetIfChosen(lAantal, texts::FolderCountLabel(language));
    SetIfChosen(lUpdate, texts::LastUpdateLabel(language, fMain->LastUpdateText));
    SetIfChosen(*this, texts::SettingsCaption(language));

    if (bStart.Visible()) bStart.SetFocus();
}

// The Klaar button is hidden while a scan runs: closing is refused then.
void TfInstellingen::FormCloseQuery(bool& canClose) {
    if (bKlaar.Visible()) {
        bKlaarClick();
        return;
    }
    if (const texts::Text wait = texts::PleaseWait(Language)) App::ShowMessage(*wait);
    canClose = false;
}

void TfInstellingen::rgTaalClick() {
    Language = rgTaal.ItemIndex();
    fMain->SaveSettings();
    fMain->LoadSettings();
    FormShow();
}

// The drive scan comes with the full settings window.
void TfInstellingen::bStartClick() {}

// Locating the file manager comes with the full settings window.
void TfInstellingen::bZoekClick() {}

// The settings window stays the modal window while the info window is open, only hidden; it
// is shown again, with its texts renewed, when the info window closes.
void TfInstellingen::bInfoClick() {
    Hide();
    fAbout->ShowModal();
    Show();
}

// Leaving the settings window ends the program; the button's modal result closes it.
void TfInstellingen::bKlaarClick() {
    App::Terminate();
}

}  // namespace kv
