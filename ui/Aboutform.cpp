#include "ui/Aboutform.h"

#include <initializer_list>
#include <vector>

#include "link/Launcher_win.h"
#include "toolkit/App.h"
#include "ui/ControlIds.h"
#include "ui/Instellingenform.h"
#include "ui/Texts.h"

namespace kv {

TfAbout* fAbout = nullptr;

namespace {

constexpr COLORREF kPanelBlue = RGB(0x88, 0xAE, 0xE4);

// The help texts are RCDATA resources: Windows-1252 text with CR LF between the lines, which
// is what a multi-line text box takes as it is.
std::string ResourceText(const std::string& name) {
    const HINSTANCE instance = App::Instance();
    const HRSRC found = FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_RCDATA));
    if (!found) return {};
    const HGLOBAL loaded = LoadResource(instance, found);
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return std::string(bytes, SizeofResource(instance, found));
}

}  // namespace

TfAbout::TfAbout()
    : Form({.className = "TfAbout",
            .caption = "Info",
            .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
            .exStyle = WS_EX_DLGMODALFRAME,
            .bounds = {0, 0, 431, 534},
            .clientSized = true,
            .centred = true,
            .font = {.face = "Arial", .height = 16}}) {
    OnShow = [this] { FormShow(); };
    bInfo.OnClick = [this] { bInfoClick(); };
    KlaarButton.OnClick = [this] { OKBtClick(); };
    KlaarButton.OnKeyDown = [this](WORD key) { KlaarButtonKeyDown(key); };
    FotoTarm.OnClick = [this] { FotoTarmClick(); };
    FotoTarm.OnMouseMove = [this] { FotoTarmMouseMove(); };
    pBoven.OnMouseMove = [this] { pBovenMouseMove(); };
    pBack.OnMouseMove = [this] { pBackMouseMove(); };
}

// The buttons come first, in their tab order; the panels are put beneath everything at the
// end. The pages cover the window down to the bottom panel.
void TfAbout::CreateControls() {
    const FontParams buttonFont{.face = "Arial", .height = 16, .bold = true};
    bInfo.Create(*this, {.control = {.id = ids::AboutInfo, .bounds = {21, 462, 78, 57}, .text = "&Info"},
                         .font = buttonFont});
    KlaarButton.Create(*this, {.control = {.id = ids::KlaarButton, .bounds = {339, 462, 78, 57}},
                               .checkPicture = true});

    pBack.Create(*this, {.control = {.id = ids::AboutBack, .bounds = {0, 440, 431, 94}}});
    fInstellingen->AdvPanelStyler.Apply(pBack);
    Label2.Create(*this, {.id = ids::Label2, .bounds = {103, 440 + 36, 232, 21}, .text = texts::AboutNotice()},
                  true);
    Label2.SetFont(buttonFont);

    const PanelColors plain{.from = kPanelBlue, .to = kPanelBlue};
    Panel1.Create(*this, {.control = {.id = ids::Panel1, .bounds = {0, 0, 431, 440}}});
    Panel1.SetColors(plain);
    pBoven.Create(*this,
                  {.control = {.id = ids::pBoven,
                               .bounds = {4, 4, 423, 95},
                               .text = "<P align=\"center\"><FONT size=\"48\" color=\"#FF0000\" "
                                       "face=\"Comic Sans MS\"><SHAD>Kovelar</SHAD></P></FONT>"},
                   .shadowOffset = 4});
    pBoven.SetColors({.from = RGB(0xDA, 0xEA, 0xFD), .to = kPanelBlue});
    Panel2.Create(*this, {.control = {.id = ids::Panel2, .bounds = {4, 99, 423, 341}}});
    Panel2.SetColors(plain);
    FotoTarm.Create(*this, {.control = {.id = ids::FotoTarm, .bounds = {4, 99, 423, 341}},
                            .resource = "FOTO",
                            .background = kPanelBlue,
                            .handCursor = true});

    Memo.Create(*this, {.control = {.id = ids::Memo, .bounds = {0, 0, 431, 440}},
                        .readOnly = true,
                        .multiLine = true});

    for (Control* control : std::initializer_list<Control*>{&Panel1, &pBoven, &Panel2, &FotoTarm})
        Tab1.Add(*control);
    Tab2.Add(Memo);
    PageControl.AddPage(Tab1);
    PageControl.AddPage(Tab2);
    PageControl.SetActivePage(Tab2);

    for (GradientPanel* panel : {&pBoven, &Panel2, &Panel1, &pBack}) panel->SendToBack();
}

// A language code outside 0 to 3 names no texts and no help resource: the captions keep what
// they show and the text box stays empty.
void TfAbout::FormShow() {
    const texts::Language language = fInstellingen->Language;
    if (const texts::Text caption = texts::InfoCaption(language)) SetCaption(*caption);
    if (const texts::Text button = texts::InfoButton(language)) bInfo.SetText(*button);
    const texts::Text resource = texts::HelpResource(language);
    PageControl.SetActivePage(Tab2);
    bInfo.SetVisible(true);
    Memo.SetText(resource ? ResourceText(*resource) : std::string());
    SendMessageA(Memo.Handle(), EM_SETREADONLY, TRUE, 0);
    ShowVersion();
}

void TfAbout::ShowVersion() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;  // a cut path would name another file
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0) return;
    std::vector<char> record(size);
    if (!GetFileVersionInfoA(path, 0, size, record.data())) return;
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(record.data(), "\\", &fixed, &fixedSize) || !fixed ||
        fixedSize < sizeof(VS_FIXEDFILEINFO))
        return;
    const auto& info = *static_cast<const VS_FIXEDFILEINFO*>(fixed);
    const std::string version =
        texts::VersionText(HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS),
                           HIWORD(info.dwFileVersionLS), LOWORD(info.dwFileVersionLS));
    SetCaption(texts::InfoTitle(version));
    App::SetTitle(texts::AppTitle(version));
}

void TfAbout::OpenLink(const std::string& link) {
    if (OpenWithShell(link)) return;
    if (const texts::Text failure = texts::LaunchFailed(fInstellingen->Language, link))
        App::ShowMessage(*failure);
}

// There is no way back to the help page until the window is shown again. The focus, which
// was on the hidden button, goes to the one that closes the window.
void TfAbout::bInfoClick() {
    PageControl.SetActivePage(Tab1);
    bInfo.SetVisible(false);
    KlaarButton.SetFocus();
}

void TfAbout::OKBtClick() {
    Close();
}

void TfAbout::KlaarButtonKeyDown(WORD /*key*/) {
    Close();
}

void TfAbout::FotoTarmClick() {
    OpenLink(texts::MakerSite());
}

void TfAbout::FotoTarmMouseMove() {
    SetCaption(texts::SiteHint());
}

void TfAbout::pBovenMouseMove() {
    ShowVersion();
}

void TfAbout::pBackMouseMove() {
    ShowVersion();
}

}  // namespace kv
