#include "ui/Instellingenform.h"

#include <algorithm>
#include <limits>

#include "app/CommandLine.h"
// The scan interface has a member of this name; the Windows header's macro would rename it.
#undef SetCurrentDirectory
#include "index/DriveScan.h"
#include "index/DriveScan_win.h"
#include "index/IndexFile.h"
#include "link/DataDirectory.h"
#include "link/SettingsFile_win.h"
#include "toolkit/App.h"
#include "ui/Aboutform.h"
#include "ui/ControlIds.h"
#include "ui/Mainform.h"
#include "ui/Texts.h"

namespace kv {

TfInstellingen* fInstellingen = nullptr;

namespace {

constexpr int kCaptionBarHeight = 30;

void SetIfChosen(Window& window, const texts::Text& text) {
    if (text) window.SetText(*text);
}

// The dialog opens in the data directory, given without its closing backslash unless that
// backslash is a root's: "C:\" and the lone "\" of an unset COMMANDER_PATH keep it.
std::string DialogFolder(std::string folder) {
    if (folder.size() > 1 && folder.back() == '\\' && folder[folder.size() - 2] != ':')
        folder.pop_back();
    return folder;
}

// Blanks and control characters (codes 0 to 32) at either end do not count.
bool BlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// Lower case by the user's locale, accented letters included.
std::string LocaleLowerCase(std::string text) {
    if (!text.empty()) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// What the window does while the scan walks: the count and the bar follow the folders found,
// and every directory entry lets the queued messages run (painting, the busy indicator's
// steps, the user's clicks on the controls that stay usable).
//
// FolderCount follows every folder. The count field and the bar are renewed at most every
// kShowEveryMs: each renewal marks two controls for painting, and on Wine every paint is a
// few trips to the window server plus a copy to the screen, which per folder would make the
// scan several times slower than the walk itself; no eye tells 25 renewals a second from one
// per folder. Update() shows the final count when the walk ends.
class WindowProgress final : public ScanProgress {
public:
    static constexpr ULONGLONG kShowEveryMs = 40;

    explicit WindowProgress(TfInstellingen& window) : window_(window) {}

    void FolderFound(std::size_t count) override {
        window_.FolderCount = static_cast<std::int32_t>(
            std::min<std::size_t>(count, std::numeric_limits<std::int32_t>::max()));
        const ULONGLONG now = GetTickCount64();
        if (now - shown_ < kShowEveryMs) return;
        shown_ = now;
        Show();
    }

    void EntryDone() override { App::ProcessMessages(); }

    void Show() {
        window_.eAantal.SetText(std::to_string(window_.FolderCount));
        window_.Progress.SetPosition(window_.FolderCount);
    }

private:
    TfInstellingen& window_;
    ULONGLONG shown_ = 0;
};

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

    // Only files of the file manager's name are offered. Both the 32-bit and the 64-bit
    // program answer the jump's switch, so both names are listed.
    ZoekWcmdDialog.filterName = "Totalcommander";
    ZoekWcmdDialog.filterPattern = "totalcmd.exe;totalcmd64.exe";
    ZoekWcmdDialog.fileName = "totalcmd.exe";
    ZoekWcmdDialog.defaultExt = "exe";
}

// Every control is a child of the window itself, placed over the panels it belongs to; the
// panels lie beneath them all. Places inside a panel are the panel's place plus the offset.
void TfInstellingen::CreateControls() {
    const PanelParams captioned{.control = {}, .captionHeight = kCaptionBarHeight, .border = true};
    pBack.Create(*this, {.control = {.id = ids::pBack, .bounds = {0, 0, 431, 534}}});

    PanelParams p = captioned;
    p.control = {
        .id = ids::gbWincmd,
        .bounds = {8, 12, 409, 111},
        .text = "<FONT  size=\"14\" face=\"Arial\" ><B>Waar staat  de Totalcommander?</B></FONT>"};
    gbWincmd.Create(*this, p);
    eNaam.Create(*this, {.control = {.id = ids::eNaam, .bounds = {8 + 16, 12 + 55, 273, 29}}});
    bZoek.Create(
        *this,
        {.control = {.id = ids::bZoek, .bounds = {8 + 316, 12 + 37, 76, 55}, .text = "Zoek"}});

    p.control = {.id = ids::gbUpdate, .bounds = {8, 132, 409, 189}};
    gbUpdate.Create(*this, p);
    bStart.Create(
        *this,
        {.control = {.id = ids::bStart, .bounds = {8 + 316, 132 + 37, 76, 55}, .text = "&Start"}});
    lAantal.Create(*this, {.id = ids::lAantal,
                           .bounds = {8 + 16, 132 + 51, 147, 21},
                           .text = " Aantal directories:"});
    eAantal.Create(
        *this,
        {.control = {.id = ids::eAantal, .bounds = {8 + 168, 132 + 48, 121, 29}, .text = "0"},
         .readOnly = true,
         .numeric = true,
         .rightAligned = true});
    // The label grows with its text as far as the Start button.
    lUpdate.Create(
        *this,
        {.id = ids::lUpdate, .bounds = {8 + 16, 132 + 90, 290, 21}, .text = "Laatste update: "});
    Progress.Create(
        *this, {.id = ids::Progress, .bounds = {8 + 16, 132 + 136, 377, 33}, .visible = false});

    p.control = {.id = ids::rgTaalback,
                 .bounds = {8, 328, 409, 105},
                 .text = "<FONT  size=\"14\" face=\"Arial\"><B><P align=\"left\"></P></B></FONT>"};
    rgTaalback.Create(*this, p);
    rgTaal.Create(*this, {.firstId = ids::rgTaalItem0,
                          .bounds = {8 + 16, 328 + kCaptionBarHeight + 4, 377, 64},
                          .columns = 2,
                          .itemHeight = 32,
                          .items = {"Nederlands", "Engels", "Frans", "Fries"}});

    bInfo.Create(*this,
                 {.control = {.id = ids::bInfo, .bounds = {20, 451, 76, 56}, .text = "&Info"}});
    CircularProgress.Create(
        *this,
        {.control = {.id = ids::CircularProgress, .bounds = {168, 443, 97, 78}, .visible = false},
         .active = RGB(0xFF, 0xFF, 0x00),
         .inactive = RGB(0x88, 0xAE, 0xE4),
         .progress = RGB(0x59, 0x87, 0xD6)});
    CircularProgress.Stop();
    bKlaar.Create(*this, {.control = {.id = ids::bKlaar, .bounds = {325, 451, 76, 56}},
                          .checkPicture = true});

    for (GradientPanel* panel : {&pBack, &gbWincmd, &gbUpdate, &rgTaalback})
        AdvPanelStyler.Apply(*panel);

    // The panels go to the bottom, the outer one last, so that every control lies above them
    // and the caption panels above the background.
    for (GradientPanel* panel : {&gbWincmd, &gbUpdate, &rgTaalback, &pBack}) panel->SendToBack();
}

// Selecting the language comes first: on the first showing in a run the group has no
// selection yet, so the selection changes, reports a click, and rgTaalClick stores the
// settings, reads them back and runs this handler once more, nested, before it goes on.
void TfInstellingen::FormShow() {
    StampUpdate = false;
    rgTaal.SetItemIndex(Language);

    const texts::Language language = Language;
    SetIfChosen(bInfo, texts::InfoButton(language));
    for (int i = 0; i < rgTaal.Count(); ++i)
        if (const texts::Text name = texts::LanguageName(language, i)) rgTaal.SetItem(i, *name);
    SetIfChosen(bZoek, texts::SeekButton(language));
    SetIfChosen(gbWincmd, texts::ExePanelCaption(language));
    SetIfChosen(gbUpdate, texts::UpdatePanelCaption(language, DataDirectory(kCommanderPath)));
    SetIfChosen(rgTaalback, texts::LanguagePanelCaption(language));
    SetIfChosen(lAantal, texts::FolderCountLabel(language));
    SetIfChosen(lUpdate, texts::LastUpdateLabel(language, fMain->LastUpdateText));
    SetIfChosen(*this, texts::SettingsCaption(language));

    for (GradientPanel* panel : {&gbWincmd, &rgTaalback, &gbUpdate})
        panel->SetCaptionHeight(kCaptionBarHeight);

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

// The drive scan. The Start and Klaar buttons are hidden while it runs, which is also the
// sign of a running scan for the close query. The index is written once, at the end.
void TfInstellingen::Update() {
    ScanPlatform& platform = SystemScanPlatform();
    DriveRoots.clear();
    bKlaar.SetVisible(false);
    bStart.SetVisible(false);
    eAantal.SetText("0");
    eAantal.SetFocus();
    if (!fMain->FolderList) fMain->FolderList = std::make_unique<kv::FolderList>();
    kv::FolderList& list = *fMain->FolderList;
    list.Clear();
    fMain->IndexOnDisk.reset();  // from now on the index is the list in memory
    const std::string saved = platform.CurrentDirectory();
    DriveRoots = ScannedDriveRoots(platform);
    FolderCount = 0;
    Progress.SetPosition(0);

    WindowProgress progress(*this);
    for (const std::string& root : DriveRoots) {
        platform.SetCurrentDirectory(root);
        ScanFolder(root, platform, list, progress);
    }
    progress.Show();
    DriveRoots.clear();
    platform.SetCurrentDirectory(saved);
    eAantal.SetText(std::to_string(FolderCount));

    const std::string path = IndexPath();
    if (!SaveIndex(path, list)) App::ErrorBox(texts::WriteFailed(path), texts::ErrorCaption());
    if (const texts::Text done = texts::UpdateDone(Language)) fMain->StatusBar.SetSimpleText(*done);

    bKlaar.SetVisible(true);
    bStart.SetVisible(true);
    Progress.SetVisible(true);
}

// The update run: the scan, the search again when the command line holds a term, the new
// last-update text, and the count as the scale of the next scan, stored with a stamp.
void TfInstellingen::bStartClick() {
    CircularProgress.SetVisible(true);
    CircularProgress.Start();
    Update();
    if (ParamCount(GetCommandLineA()) > 0) fMain->SearchFolders();
    fMain->FitToList();
    fMain->ListBoxClick();
    if (const texts::Text value = texts::LastUpdateValue(Language, LocalDateTimeText()))
        fMain->LastUpdateText = *value;
    lUpdate.SetCaption(fMain->LastUpdateText);
    fMain->StatusBar.SetPanelText(1, fMain->LastUpdateText);
    Progress.SetMax(FolderCount);
    StampUpdate = true;
    fMain->SaveSettings();
    MessageBeep(0);
    StampUpdate = false;
    CircularProgress.Stop();
    CircularProgress.SetVisible(false);
}

// Locating the file manager. Whether the dialog is confirmed or not, the path in eNaam is
// taken and stored, with a stamp, so a path typed by hand is kept too.
void TfInstellingen::bZoekClick() {
    ZoekWcmdDialog.initialDir = DialogFolder(DataDirectory(kCommanderPath));
    if (ZoekWcmdDialog.Execute(Handle())) {
        SetCurrentDirectoryA(ZoekWcmdDialog.initialDir.c_str());
        if (!BlankText(ZoekWcmdDialog.fileName))
            eNaam.SetText(LocaleLowerCase(ZoekWcmdDialog.fileName));
    }
    CommanderExe = eNaam.Text();
    StampUpdate = true;
    fMain->SaveSettings();
    StampUpdate = false;
}

// The settings window stays the modal window while the info window is open, only hidden; it
// is shown again, with its texts renewed, when the info window closes.
void TfInstellingen::bInfoClick() {
    Hide();
    fAbout->Memo.SetVisible(true);
    fAbout->ShowModal();
    Show();
}

// Leaving the settings window ends the program; the button's modal result closes it.
void TfInstellingen::bKlaarClick() {
    App::Terminate();
}

}  // namespace kv
