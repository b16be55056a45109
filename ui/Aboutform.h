#pragma once
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/GlowButton.h"
#include "toolkit/GradientPanel.h"
#include "toolkit/PageControl.h"
#include "toolkit/Picture.h"

namespace kv {

// The info window: the help text in the interface language and the program's version on one
// page, a title and the photo that opens the maker's site on the other. Every showing starts
// on the help page; only bInfo leads to the photo page.
class TfAbout : public Form {
public:
    TfAbout();

    GlowButton bInfo;
    GlowButton KlaarButton;
    GradientPanel pBack;
    kv::PageControl PageControl;
    TabPage Tab1;  // title and photo
    TabPage Tab2;  // help text
    GradientPanel Panel1;
    GradientPanel Panel2;
    GradientPanel pBoven;
    Edit Memo;
    Label Label2;
    Picture FotoTarm;

    void FormShow();
    // The version record of the program file, read anew on every call, in the window caption
    // and the application title. Without a readable record both stay as they are.
    void ShowVersion();
    // Opens a link with the shell; a refusal is reported in the current language.
    void OpenLink(const std::string& link);

    void bInfoClick();
    void OKBtClick();
    void KlaarButtonKeyDown(WORD key);
    void FotoTarmClick();
    void FotoTarmMouseMove();
    void pBovenMouseMove();
    void pBackMouseMove();

protected:
    void CreateControls() override;
};

extern TfAbout* fAbout;

}  // namespace kv
