// The main form's file explorer panel. For now it only keeps the selected file and the
// folder that new recordings go to, and plays the selection as a list of one; its file list,
// folder tree and commands are still to come.
#pragma once

#include <string>

#include "app/document.h"
#include "skin/panel.h"

class PanelFileExplorer : public skinner::ControlPanel, public Document::View {
public:
    PanelFileExplorer(skinner::Container* container, const std::u16string& name);
    ~PanelFileExplorer() override;

    // Selects the file and makes its folder the current one.
    void select_file(const std::u16string& path);
    // Plays the selected file; false when nothing is selected or it does not play.
    bool play_selected();
    // The folder that new recordings go to: the selected file's, else the explorer's folder
    // from the settings, else "My Documents".
    std::u16string get_folder() const;
    // A command the main form does not know; false: not an explorer command.
    bool run_command(const std::u16string& command);
    void update_menu() {}
    // A recording that has just stopped becomes the selection.
    void on_document_changed(const Change& change) override;

    const std::u16string& get_selected_file() const { return selected_; }

private:
    std::u16string selected_;
    std::u16string folder_;
};
