#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/CircularProgress.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"
#include "toolkit/GlowButton.h"
#include "toolkit/GradientPanel.h"
#include "toolkit/OpenDialog.h"
#include "toolkit/ProgressBar.h"

namespace kv {

// The settings window: the path of the file manager, the drive scan that builds the index,
// the interface language. It owns the settings values that the whole program reads, and
// leaving it always ends the program.
class TfInstellingen : public Form {
public:
    TfInstellingen();

    OpenDialog ZoekWcmdDialog;
    GradientPanel pBack;
    kv::CircularProgress CircularProgress;
    PanelStyler AdvPanelStyler;
    GradientPanel gbWincmd;
    Edit eNaam;
    GlowButton bZoek;
    GradientPanel gbUpdate;
    GlowButton bStart;
    Edit eAantal;
    Label lAantal;
    Label lUpdate;
    GradientPanel rgTaalback;
    RadioGroup rgTaal;
    GlowButton bInfo;
    GlowButton bKlaar;
    ProgressBar Progress;

    std::vector<std::string> DriveRoots;  // only while a scan runs
    std::string CommanderExe;
    std::int32_t Language = 0;
    std::int32_t FolderCount = 0;
    bool StampUpdate = false;

    // The drive scan: rebuilds the index from every fixed and network drive and writes it.
    void Update();

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
