#include "ui/Aboutform.h"

#include "ui/ControlIds.h"

namespace kv {

TfAbout* fAbout = nullptr;

TfAbout::TfAbout()
    : Form({.className = "TfAbout",
            .caption = "Info",
            .style = WS_POPUP | WS_CAPTION | WS_SYSMENU,
            .exStyle = WS_EX_DLGMODALFRAME,
            .bounds = {0, 0, 431, 534},
            .clientSized = true,
            .centred = true,
            .font = {.face = "Arial", .height = 16}}) {
    KlaarButton.modalResult = ModalResult::Ok;
}

void TfAbout::CreateControls() {
    Memo.Create(*this, {.control = {.id = ids::Memo, .bounds = {0, 0, 431, 449}},
                        .readOnly = true,
                        .multiLine = true});
    KlaarButton.Create(*this, {.id = ids::KlaarButton, .bounds = {339, 462, 78, 57}, .text = "OK"});
}

}  // namespace kv
