#pragma once
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

namespace kv {

// The info window: the help text, the version and the maker's page. For now it holds only
// its text box and the button that closes it.
class TfAbout : public Form {
public:
    TfAbout();

    Edit Memo;
    Button KlaarButton;

protected:
    void CreateControls() override;
};

extern TfAbout* fAbout;

}  // namespace kv
