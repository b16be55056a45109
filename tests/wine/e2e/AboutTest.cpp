// The info window, opened from the result window's menu and from the settings window: texts
// in four languages, the version, the two pages, the caption that follows the mouse, the
// maker's link.

#include <windows.h>

#include <optional>

#include "KovelarTest.h"
#include "ui/ControlIds.h"

namespace kv::e2e {

namespace {

const std::string kVersionCaption = "Info (Versie 3.0.0.6)";
const std::string kAppTitle = "Kovelar : Versie 3.0.0.6";
const std::string kSiteHint = "Klik hier om naar de site van Quilbex te gaan...";
const std::string kSite = "https://www.quilbex.nl/";

struct InfoWindow {
    HWND window = nullptr, bInfo = nullptr, KlaarButton = nullptr, Memo = nullptr;
    HWND FotoTarm = nullptr, pBoven = nullptr, pBack = nullptr;
    explicit operator bool() const { return window && bInfo && KlaarButton && Memo && FotoTarm; }

    static InfoWindow Of(HWND window) {
        return {window,
                GetDlgItem(window, ids::AboutInfo),
                GetDlgItem(window, ids::KlaarButton),
                GetDlgItem(window, ids::Memo),
                GetDlgItem(window, ids::FotoTarm),
                GetDlgItem(window, ids::pBoven),
                GetDlgItem(window, ids::AboutBack)};
    }
    std::string Caption() const { return driver::WindowText(window); }
    bool Shows(HWND control) const { return IsWindowVisible(control) != FALSE; }
    bool OnHelpPage() const { return Shows(Memo) && !Shows(FotoTarm); }
    bool OnPhotoPage() const { return Shows(FotoTarm) && !Shows(Memo); }
    void MouseMove(HWND control) const { PostMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)); }
    void ClickPhoto() const {
        PostMessageA(FotoTarm, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
        PostMessageA(FotoTarm, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
    }
    bool CaptionBecomes(const std::string& caption) const {
        return driver::WaitUntil([&] { return Caption() == caption; });
    }
};

struct HelpCase {
    int language;
    std::string button;
    std::string firstLine;  // Windows-1252
};

const HelpCase kHelp[] = {
    {0, "&Info", "Kovelar is een hulpprogramma voor TotalCommander."},
    {1, "&Info", "Kovelar is an utility designed for TotalCommander."},
    {2, "&Info", "Kovelar est un utilitaire con\xE7u pour TotalCommander."},
    {3, "&Ynfo", "Kovelar is in helpprogramma foar TotalCommander."},
};

// The default value of HKCR\<scheme>\shell\open\command, replaced or removed for one test and
// put back afterwards.
class UrlHandler {
public:
    explicit UrlHandler(std::string scheme) : scheme_(std::move(scheme)) {
        char value[1024] = {};
        LONG size = sizeof value;
        if (RegQueryValueA(HKEY_CLASSES_ROOT, Key().c_str(), value, &size) == ERROR_SUCCESS)
            saved_ = value;
    }
    ~UrlHandler() {
        if (saved_) Set(*saved_);
        else RegDeleteTreeA(HKEY_CLASSES_ROOT, scheme_.c_str());
    }
    UrlHandler(const UrlHandler&) = delete;
    UrlHandler& operator=(const UrlHandler&) = delete;

    void Set(const std::string& command) const {
        HKEY scheme = nullptr;
        if (RegCreateKeyA(HKEY_CLASSES_ROOT, scheme_.c_str(), &scheme) == ERROR_SUCCESS) {
            RegSetValueExA(scheme, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
            RegCloseKey(scheme);
        }
        RegSetValueA(HKEY_CLASSES_ROOT, Key().c_str(), REG_SZ, command.c_str(),
                     static_cast<DWORD>(command.size()));
    }
    void Remove() const { RegDeleteTreeA(HKEY_CLASSES_ROOT, scheme_.c_str()); }

private:
    std::string Key() const { return scheme_ + "\\shell\\open\\command"; }
    std::string scheme_;
    std::optional<std::string> saved_;
};

}  // namespace

class About : public KovelarTest {
protected:
    // A result window of two matches, and the info window opened from its menu.
    InfoWindow OpenFromMenu(const driver::Process& process, MainWindow* main = nullptr) {
        const MainWindow window = WaitMain(process);
        EXPECT_TRUE(window);
        if (main) *main = window;
        if (!window) return {};
        PostMessageA(window.window, WM_COMMAND, MAKEWPARAM(ids::InfoHoofdMenuOptie, 0), 0);
        return InfoWindow::Of(driver::WaitTopWindow(process.pid(), "TfAbout"));
    }
    void StartList(int language) {
        WriteIndex({"C:\\A\\KVA\\", "C:\\B\\KVB\\"});
        WriteSettings(language);
    }
    static void CloseWithKlaar(const InfoWindow& info) {
        driver::ClickButton(info.KlaarButton);
        EXPECT_TRUE(driver::WaitGone(info.window));
    }
    void Leave(const driver::Process& process, const MainWindow& main) {
        driver::PostKey(main.list, VK_ESCAPE);
        EXPECT_EQ(WaitEnd(process).exitCode, 0u);
    }
};

TEST_F(About, ShowsTheHelpTextAndTheVersionInEveryLanguage) {
    for (const HelpCase& c : kHelp) {
        SCOPED_TRACE("language " + std::to_string(c.language));
        StartList(c.language);
        const driver::Process process = Start(" kv");
        MainWindow main;
        const InfoWindow info = OpenFromMenu(process, &main);
        ASSERT_TRUE(info);
        EXPECT_EQ(info.Caption(), kVersionCaption);
        EXPECT_EQ(driver::WindowText(info.bInfo), c.button);
        EXPECT_TRUE(info.Shows(info.bInfo));
        EXPECT_TRUE(info.OnHelpPage());
        const std::vector<std::string> lines = SplitLines(driver::WindowText(info.Memo));
        ASSERT_EQ(lines.size(), 10u);
        EXPECT_EQ(lines[0], c.firstLine);
        CloseWithKlaar(info);
        Leave(process, main);
    }
}

// A language code outside 0 to 3 names no texts: the design texts stay, the version caption
// still comes, and no help text is shown.
TEST_F(About, ALanguageCodeOutsideTheFourShowsNoHelpText) {
    StartList(-1);
    const driver::Process process = Start(" kv");
    MainWindow main;
    const InfoWindow info = OpenFromMenu(process, &main);
    ASSERT_TRUE(info);
    EXPECT_EQ(info.Caption(), kVersionCaption);
    EXPECT_EQ(driver::WindowText(info.bInfo), "&Info");
    EXPECT_TRUE(info.OnHelpPage());
    EXPECT_EQ(driver::WindowText(info.Memo), "");
    CloseWithKlaar(info);
    Leave(process, main);
}

// The English text word for word, and a text box that takes no typing.
TEST_F(About, TheEnglishHelpTextIsReadOnly) {
    StartList(1);
    const driver::Process process = Start(" kv");
    MainWindow main;
    const InfoWindow info = OpenFromMenu(process, &main);
    ASSERT_TRUE(info);
    const std::string text = driver::WindowText(info.Memo);
    EXPECT_EQ(SplitLines(text)[7],
              "When you call kovelar with a parameter, e.g. j tmp, it will look for all the "
              "folders in kovelar.dat containing tmp at the end of the folder name.");
    EXPECT_TRUE(GetWindowLongPtrA(info.Memo, GWL_STYLE) & ES_READONLY);
    SendMessageA(info.Memo, EM_SETSEL, 0, 0);
    for (const char key : {'X', 'Y'}) driver::PostKey(info.Memo, static_cast<UINT>(key));
    PostMessageA(info.Memo, WM_CHAR, 'z', 0);
    driver::PostKey(info.Memo, VK_DELETE);
    driver::PostKey(info.Memo, VK_BACK);
    SendMessageA(info.Memo, WM_NULL, 0, 0);  // the posted keys have been handled after this
    EXPECT_EQ(driver::WindowText(info.Memo), text);
    CloseWithKlaar(info);
    Leave(process, main);
}

// The photo page lasts until the window closes; the next showing is on the help page again.
// KlaarButton closes the window on any key, not only on Enter or Space.
TEST_F(About, EveryShowingStartsOnTheHelpPage) {
    StartList(3);
    const driver::Process process = Start(" kv");
    MainWindow main;
    InfoWindow info = OpenFromMenu(process, &main);
    ASSERT_TRUE(info);
    driver::ClickButton(info.bInfo);
    // The handler turns the page, hides the button and moves the focus: wait for its end.
    EXPECT_TRUE(driver::WaitUntil(
        [&] { return driver::FocusedWindow(info.window) == info.KlaarButton; }));
    EXPECT_TRUE(info.OnPhotoPage());
    EXPECT_FALSE(info.Shows(info.bInfo));
    driver::PostKey(info.KlaarButton, 'Q');
    ASSERT_TRUE(driver::WaitGone(info.window));

    PostMessageA(main.window, WM_COMMAND, MAKEWPARAM(ids::InfoHoofdMenuOptie, 0), 0);
    info = InfoWindow::Of(driver::WaitTopWindow(process.pid(), "TfAbout"));
    ASSERT_TRUE(info);
    EXPECT_TRUE(info.OnHelpPage());
    EXPECT_TRUE(info.Shows(info.bInfo));
    EXPECT_EQ(driver::WindowText(info.bInfo), "&Ynfo");
    driver::PostKey(info.KlaarButton, VK_TAB);
    ASSERT_TRUE(driver::WaitGone(info.window));
    Leave(process, main);
}

// The photo sets the hint; the title panel and the bottom panel put the version back; the
// text box and the buttons leave the caption as it is.
TEST_F(About, TheCaptionFollowsTheMouse) {
    StartList(0);
    const driver::Process process = Start(" kv");
    MainWindow main;
    const InfoWindow info = OpenFromMenu(process, &main);
    ASSERT_TRUE(info);
    driver::ClickButton(info.bInfo);
    ASSERT_TRUE(driver::WaitUntil([&] { return info.OnPhotoPage(); }));
    for (const HWND panel : {info.pBoven, info.pBack}) {
        info.MouseMove(info.FotoTarm);
        EXPECT_TRUE(info.CaptionBecomes(kSiteHint)) << info.Caption();
        info.MouseMove(info.KlaarButton);
        info.MouseMove(info.Memo);
        SendMessageA(info.window, WM_NULL, 0, 0);
        EXPECT_EQ(info.Caption(), kSiteHint);
        info.MouseMove(panel);
        EXPECT_TRUE(info.CaptionBecomes(kVersionCaption)) << info.Caption();
    }
    CloseWithKlaar(info);
    Leave(process, main);
}

// A click on the photo hands the maker's address to the shell, which starts the registered
// handler; a refused link is reported with the link, in the language, under the title the
// info window has set.
TEST_F(About, ThePhotoOpensTheMakersSite) {
    UrlHandler https("https");
    https.Set("\"" + TotalcmdPath() + "\" \"%1\"");
    StartList(1);
    const driver::Process process = Start(" kv");
    MainWindow main;
    const InfoWindow info = OpenFromMenu(process, &main);
    ASSERT_TRUE(info);
    driver::ClickButton(info.bInfo);
    ASSERT_TRUE(driver::WaitUntil([&] { return info.OnPhotoPage(); }));
    info.ClickPhoto();
    const std::vector<std::string> calls = WaitTotalcmdCalls(1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(kSite), std::string::npos) << calls[0];

    https.Remove();
    info.ClickPhoto();
    // The platform may first show a box of its own about the missing handler.
    std::optional<driver::MessageBoxInfo> ours;
    for (int boxes = 0; boxes < 3 && !ours; ++boxes) {
        const std::optional<driver::MessageBoxInfo> box = driver::WaitMessageBox(process.pid());
        ASSERT_TRUE(box);
        if (box->caption == kAppTitle) ours = box;
        driver::AnswerMessageBox(box->window);
    }
    ASSERT_TRUE(ours);
    EXPECT_EQ(ours->text, "'" + kSite + "' cannot be launched...");
    EXPECT_EQ(ours->buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(TotalcmdCalls().size(), 1u);
    CloseWithKlaar(info);
    Leave(process, main);
}

// From the settings window, which hides meanwhile and comes back after: the same window, on
// the help page, with the version caption.
TEST_F(About, FromTheSettingsWindowItLooksTheSame) {
    WriteSettings(2);
    const driver::Process process = Start("");
    const HWND settings = driver::WaitTopWindow(process.pid(), "TfInstellingen");
    ASSERT_TRUE(settings);
    driver::ClickButton(GetDlgItem(settings, ids::bInfo));
    const InfoWindow info = InfoWindow::Of(driver::WaitTopWindow(process.pid(), "TfAbout"));
    ASSERT_TRUE(info);
    EXPECT_FALSE(IsWindowVisible(settings));
    EXPECT_EQ(info.Caption(), kVersionCaption);
    EXPECT_TRUE(info.OnHelpPage());
    EXPECT_EQ(SplitLines(driver::WindowText(info.Memo))[0], kHelp[2].firstLine);
    CloseWithKlaar(info);
    EXPECT_TRUE(driver::WaitUntil([&] { return IsWindowVisible(settings) != FALSE; }));
    driver::ClickButton(GetDlgItem(settings, ids::bKlaar));
    EXPECT_EQ(WaitEnd(process).exitCode, 0u);
}

}  // namespace kv::e2e
