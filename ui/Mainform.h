#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "index/FolderList.h"
#include "index/IndexStream.h"
#include "toolkit/Controls.h"
#include "toolkit/Form.h"

namespace kv {

// The result window and main window: it lists the matches of a search, owns the folder
// index in memory and the last-update text, and its first showing is the start-up flow.
class TfMain : public Form {
public:
    TfMain();

    std::unique_ptr<kv::FolderList> FolderList;  // none before the start-up flow
    // The index file as the start-up flow found it: its size and the matches of the term.
    std::optional<IndexSearch> IndexOnDisk;
    std::string LastUpdateText;

    kv::ListBox ListBox;
    kv::StatusBar StatusBar;
    MainMenu MainMenu1;
    MenuItem InstellingenMenuOptie;
    MenuItem StopMenuOptie;
    MenuItem InfoHoofdMenuOptie;

    void LoadSettings();
    void SaveSettings();
    void SearchFolders();
    void PromoteFolder(const std::string& folder);
    void JumpTo(const std::string& parameters);
    void FitToList();
    [[nodiscard]] std::size_t EntryCount() const;

    void FormShow();
    void FormDestroy();
    void ListBoxClick();
    void ListBoxDblClick();
    void ListBoxKeyDown(WORD key);
    void StatusBarResize();
    void InstellingenMenuOptieClick();
    void StopMenuOptieClick();
    void InfoHoofdMenuOptieClick();

protected:
    void CreateControls() override;

private:
    [[nodiscard]] bool ReadsIndexOnDisk() const;
};

extern TfMain* fMain;

}  // namespace kv
