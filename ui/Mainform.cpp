#include "ui/Mainform.h"

#include <string_view>

#include "app/CommandLine.h"
#include "index/IndexFile.h"
#include "index/Search.h"
#include "link/DataDirectory.h"
#include "link/Launcher.h"
#include "link/Launcher_win.h"
#include "link/SettingsFile_win.h"
#include "toolkit/App.h"
#include "toolkit/Gdi.h"
#include "ui/Aboutform.h"
#include "ui/ControlIds.h"
#include "ui/Instellingenform.h"
#include "ui/Texts.h"

namespace kv {

TfMain* fMain = nullptr;

namespace {

constexpr int kStatusBarHeight = 21;
constexpr int kPositionPanelWidth = 60;
constexpr int kMaxSizedEntries = 35;  // more entries than this open the window maximised

texts::Language CurrentLanguage() {
    return fInstellingen ? fInstellingen->Language : 0;
}

std::string CommandLine() {
    const char* line = GetCommandLineA();
    return line ? line : "";
}

void SetIfChosen(MenuItem& item, const texts::Text& caption) {
    if (caption) item.SetCaption(*caption);
}

}  // namespace

TfMain::TfMain()
    : Form({.className = "TfMain",
            .caption = texts::AppName(),
            .style = WS_OVERLAPPEDWINDOW,
            .bounds = {392, 128, 290, 347},
            .font = {.face = "Arial", .height = 14}}) {
    OnShow = [this] { FormShow(); };
    OnDestroy = [this] { FormDestroy(); };
    ListBox.OnClick = [this] { ListBoxClick(); };
    ListBox.OnDblClick = [this] { ListBoxDblClick(); };
    ListBox.OnKeyDown = [this](WORD key) { ListBoxKeyDown(key); };
    StatusBar.OnResize = [this] { StatusBarResize(); };
    InstellingenMenuOptie.OnClick = [this] { InstellingenMenuOptieClick(); };
    StopMenuOptie.OnClick = [this] { StopMenuOptieClick(); };
    InfoHoofdMenuOptie.OnClick = [this] { InfoHoofdMenuOptieClick(); };
}

void TfMain::CreateControls() {
    MainMenu1.Create(*this);
    const HMENU menu = MainMenu1.AddPopup(MainMenu1.Bar(), "&Menu");
    MainMenu1.AddItem(menu, InstellingenMenuOptie, ids::InstellingenMenuOptie, "&Instellingen");
    MainMenu1.AddSeparator(menu);
    MainMenu1.AddItem(menu, StopMenuOptie, ids::StopMenuOptie, "&Stop");
    MainMenu1.AddItem(MainMenu1.Bar(), InfoHoofdMenuOptie, ids::InfoHoofdMenuOptie, "&Info");
    MainMenu1.Attach();

    StatusBar.Create(*this, {.id = ids::StatusBar}, kStatusBarHeight, {kPositionPanelWidth, 50});
    ListBox.Create(*this, {.id = ids::ListBox, .align = Align::Client});
}

// The start-up flow. Its last two steps run whatever happened before, also after an end
// request: the window is then never shown, but its state is complete.
void TfMain::FormShow() {
    LoadSettings();
    FolderList = std::make_unique<kv::FolderList>();
    // The index stays on disk: one pass through it gives its size and the matches of the term,
    // which is all a search run needs.
    const std::string term = ParamCount(CommandLine()) > 0 ? ParamStr(CommandLine(), 1) : "";
    IndexOnDisk = SearchIndexFile(IndexPath(), SearchKey(term));
    if (!IndexOnDisk) fInstellingen->ShowModal();  // no index yet: the user builds one there
    if (const std::size_t count = EntryCount(); count > 0)
        fInstellingen->eAantal.SetText(std::to_string(count));

    const texts::Language language = CurrentLanguage();
    SetIfChosen(InstellingenMenuOptie, texts::MenuSettings(language));
    SetIfChosen(StopMenuOptie, texts::MenuStop(language));
    SetIfChosen(InfoHoofdMenuOptie, texts::MenuInfo(language));
    fInstellingen->CircularProgress.Stop();
    fInstellingen->CircularProgress.SetVisible(false);

    if (ParamCount(CommandLine()) > 0)
        SearchFolders();
    else
        fInstellingen->ShowModal();
    FitToList();
    ListBoxClick();
}

void TfMain::FormDestroy() {
    FolderList.reset();
}

// No settings file is no error: the defaults hold. The platform's cached copy of the file is
// dropped first, so that what is read is what is on disk.
void TfMain::LoadSettings() {
    TfInstellingen& settings = *fInstellingen;
    const std::string path = SettingsPath();
    LastUpdateText.clear();
    if (!FileExists(path)) {
        settings.Language = 0;
        settings.Progress.SetMax(1000);
    } else {
        const std::unique_ptr<ProfileStore> store = OpenProfileStore(path);
        store->Flush();
        const Settings values = ReadSettings(*store);
        settings.CommanderExe = values.commanderExe;
        settings.Language = values.language;
        LastUpdateText = values.lastUpdate;
        settings.Progress.SetMax(values.progressMax);
    }
    if (LastUpdateText.empty()) {
        settings.Progress.SetVisible(false);
        LastUpdateText = texts::NeverUpdated(settings.Language).value_or("");
    } else {
        settings.Progress.SetVisible(true);
        settings.lUpdate.SetCaption(LastUpdateText);
    }
    settings.eNaam.SetText(settings.CommanderExe);
    StatusBar.SetPanelText(1, LastUpdateText);
}

// The stored date and time is the clock's at the moment of saving, never LastUpdateText,
// which carries words of the language in front of it. A failed write is reported with the
// path and leaves the values in memory as they are.
void TfMain::SaveSettings() {
    const TfInstellingen& settings = *fInstellingen;
    const std::string path = SettingsPath();
    const std::unique_ptr<ProfileStore> store = OpenProfileStore(path);
    const Settings values{.commanderExe = settings.CommanderExe,
                          .language = settings.Language,
                          .lastUpdate = {},
                          .progressMax = settings.Progress.Max()};
    const std::optional<std::string> stamp =
        settings.StampUpdate ? std::optional<std::string>(LocalDateTimeText()) : std::nullopt;
    if (!WriteSettings(*store, values, stamp))
        App::ErrorBox(texts::WriteFailed(path, "Unable to write to " + path),
                      texts::ErrorCaption());
}

// One match jumps at once; none ends the program with a message; several stay listed for the
// user to choose from.
void TfMain::SearchFolders() {
    ListBox.Clear();
    const std::string term = ParamStr(CommandLine(), 1);
    if (ReadsIndexOnDisk()) {
        ListBox.BeginUpdate(IndexOnDisk->matches.Count());
        for (const std::string_view entry : IndexOnDisk->matches) ListBox.Add(entry);
    } else {
        const std::vector<std::size_t> matches = FindMatches(*FolderList, SearchKey(term));
        ListBox.BeginUpdate(matches.size());
        for (const std::size_t i : matches) ListBox.Add((*FolderList)[i]);
    }
    ListBox.EndUpdate();
    const std::size_t count = static_cast<std::size_t>(ListBox.Count());

    const texts::Language language = CurrentLanguage();
    if (count == 0) {
        if (const texts::Text message = texts::NoMatch(language, term)) App::ShowMessage(*message);
        App::Terminate();
    } else if (count == 1) {
        const std::string entry = ListBox.Item(0);
        JumpTo(JumpParameters(entry));
        PromoteFolder(entry);
        App::Terminate();
    } else if (const texts::Text caption = texts::ManyMatches(language, count, term)) {
        SetCaption(*caption);
    }
}

// A folder that is not in the index (no caller passes one) changes nothing and writes nothing.
// A failed save is reported; the old file stays as it was.
void TfMain::PromoteFolder(const std::string& folder) {
    const std::string path = IndexPath();
    bool saved = true;
    if (ReadsIndexOnDisk()) {
        const PromoteResult result = PromoteInIndexFile(path, folder);
        saved = result == PromoteResult::Promoted || result == PromoteResult::NotFound;
    } else if (FolderList && FolderList->MoveToFront(folder)) {
        saved = SaveIndex(path, *FolderList);
    }
    if (!saved) App::ErrorBox(texts::WriteFailed(path), texts::ErrorCaption());
}

// The index read at start-up stays on disk until a scan builds a new one in memory.
bool TfMain::ReadsIndexOnDisk() const {
    return IndexOnDisk.has_value();
}

std::size_t TfMain::EntryCount() const {
    if (ReadsIndexOnDisk()) return IndexOnDisk->entryCount;
    return FolderList ? FolderList->Count() : 0;
}

void TfMain::JumpTo(const std::string& parameters) {
    if (StartProgram(fInstellingen->CommanderExe, parameters)) return;
    if (const texts::Text failure = texts::JumpFailed(CurrentLanguage(), parameters))
        StatusBar.SetPanelText(0, *failure);
}

// Wide enough for the widest entry with room to spare, high enough for every entry and the
// status bar; a long list gets the whole screen instead, so its entries are not measured: a
// term that matches most of a large index lists a million entries, and reading each back
// from the list costs far more than the whole search.
void TfMain::FitToList() {
    ListBox.SetFont(MakeFont({.face = "Arial", .height = PointsToPixels(10, Dpi())}));
    const int count = ListBox.Count();
    int widest = 0;
    if (count <= kMaxSizedEntries) {
        const WindowDc dc(ListBox.Handle());
        const SelectGuard font(
            dc.dc(), reinterpret_cast<HGDIOBJ>(SendMessageA(ListBox.Handle(), WM_GETFONT, 0, 0)));
        for (int i = 0; i < count; ++i) {
            const std::string item = ListBox.Item(i);
            SIZE extent{};
            GetTextExtentPoint32A(dc.dc(), item.c_str(), static_cast<int>(item.size()), &extent);
            if (extent.cx + 150 > widest) widest = extent.cx + 150;
        }
    }
    const int height = (count + 2) * ListBox.ItemHeight();
    if (count > kMaxSizedEntries)
        Maximize();
    else
        SetClientSize(widest, height);
    if (count > 0) ListBox.SetItemIndex(0);
}

void TfMain::ListBoxClick() {
    StatusBar.SetPanelText(
        0, std::to_string(ListBox.ItemIndex() + 1) + "/" + std::to_string(ListBox.Count()));
}

// With nothing selected (an empty list) there is nothing to jump to.
void TfMain::ListBoxDblClick() {
    const int selected = ListBox.ItemIndex();
    if (selected < 0) return;
    const std::string entry = ListBox.Item(selected);
    JumpTo(JumpParameters(entry));
    PromoteFolder(entry);
    App::Terminate();
}

void TfMain::ListBoxKeyDown(WORD key) {
    if (key == VK_RETURN) ListBoxDblClick();
    if (key == VK_ESCAPE) Close();
}

void TfMain::StatusBarResize() {
    StatusBar.SetPanelWidth(0, kPositionPanelWidth);
    StatusBar.SetPanelText(1, LastUpdateText);
}

void TfMain::InstellingenMenuOptieClick() {
    fInstellingen->ShowModal();
}

void TfMain::StopMenuOptieClick() {
    Close();
}

void TfMain::InfoHoofdMenuOptieClick() {
    fAbout->ShowModal();
}

}  // namespace kv
