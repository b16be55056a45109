#pragma once
#include <cstdint>
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Form.h"

namespace kv {

// The settings window: the path of the file manager, the folder count and the last update,
// the interface language. It owns the settings values that the whole program reads, and
// leaving it always ends the program.
class TfInstellingen : public Form {
public:
    TfInstellingen();

    std::string CommanderExe;
    std::int32_t Language = 0;
    std::int32_t FolderCount = 0;
    bool StampUpdate = false;

    GroupBox gbWincmd;
    Edit eNaam;
    Button bZoek;
    GroupBox gbUpdate;
    Label lAantal;
    Edit eAantal;
    Label lUpdate;
    ProgressBar Progress;
    Button bStart;
    GroupBox rgTaalback;
    RadioGroup rgTaal;
    Button bInfo;
    Button bKlaar;

    void FormShow();
    void FormCloseQuery(bool& canClose);
    void rgTaalClick();
    void bStartClick();
    void bZoekClick();
    void bInfoClick();
    void bKlaarClick();

protected:
    void CreateControls() override;
};

extern TfInstellingen* fInstellingen;

}  // namespace kv
