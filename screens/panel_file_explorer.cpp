#include "screens/panel_file_explorer.h"

#include <vector>

#include "app/playlist/entry.h"
#include "foundation/paths.h"

PanelFileExplorer::PanelFileExplorer(skinner::Container* container, const std::u16string& name)
    : skinner::ControlPanel(container, name) {
    Document& document = *Document::instance();
    document.set_can_record(true);
    document.set_can_play(false);
}

PanelFileExplorer::~PanelFileExplorer() = default;

void PanelFileExplorer::select_file(const std::u16string& path) {
    if (path.empty()) return;
    selected_ = path;
    folder_ = os::get_parent_folder(path);
    Document::instance()->set_can_play(true);
}

bool PanelFileExplorer::play_selected() {
    if (selected_.empty()) return false;
    playlist::Entry entry;
    entry.path = selected_;
    Document& document = *Document::instance();
    document.set_playlist(u"", {entry}, 0, false);
    return document.play_item(0, 0);
}

std::u16string PanelFileExplorer::get_folder() const {
    if (!folder_.empty()) return folder_;
    std::u16string const& configured = Document::instance()->get_settings().file_explorer.folder;
    return configured.empty() ? os::expanded_path(u"%my_documents%") : configured;
}

bool PanelFileExplorer::run_command(const std::u16string&) { return false; }

void PanelFileExplorer::on_document_changed(const Change& change) {
    if (!change.text.empty()) select_file(change.text);
}
