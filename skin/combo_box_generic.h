// Combo boxes over a list of items. ControlComboBoxGenericBase keeps the items and the
// selected index and fills the drop-down with a List; ControlComboBoxGenericReadonly adds a
// text frame that shows the chosen item. A changed choice is reported once, as
// on_selection_changed with the combo as sender, after the drop-down has closed.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "skin/combo_box.h"
#include "skin/combo_box_interface.h"
#include "skin/drop_down_list.h"
#include "skin/frame.h"

namespace skinner {

template <class Items>
class ControlComboBoxGenericBase : public ControlComboBox, public ControlComboBoxGenericInterface {
public:
    ControlComboBoxGenericBase(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME)
        : ControlComboBox(container, name, lookup_mode) {}
    // The list lives in the drop-down form, which the base deletes after it.
    ~ControlComboBoxGenericBase() override { list_.reset(); }

    int get_item_count() override { return static_cast<int>(items_.size()); }
    int get_selected_index() override { return selected_; }

    void set_selected_index(int index) override {
        if (index == selected_) return;
        selected_ = index;
        if (list_) {
            list_->set_current_row(index);
        } else {
            on_selection_changed(this);
        }
    }

    void on_combo_changed(Control* sender) override {
        std::weak_ptr<bool> const alive = watch();
        ControlComboBox::on_combo_changed(sender);
        if (alive.expired()) return;
        list_.reset();
        if (selected_ == shown_) return;
        shown_ = -1;
        on_selection_changed(this);
    }

    CBForm* create_dropdown_form(Point position, Size size) override {
        CBForm* const form = ControlComboBox::create_dropdown_form(position, size);
        list_.reset();
        std::u16string const kind =
            get_lookup_mode() == LOOKUP_NONE ? std::u16string() : get_string_property(u"ListKind", u"");
        list_ = std::make_unique<List>(form, kind, LOOKUP_BY_KIND, this);
        form->set_content(list_.get());
        form->set_focus(list_.get());
        list_->set_current_row(selected_);
        shown_ = selected_;
        return form;
    }

    const Items& get_items() const { return items_; }
    // Replaces the items; the selected index stays as it is.
    void set_items(Items items) {
        items_ = std::move(items);
        if (list_) list_->refresh();
    }
    void add_item(typename Items::value_type item) {
        items_.push_back(std::move(item));
        if (list_) list_->refresh();
    }
    // The list of the open drop-down; null while it is closed.
    List* get_list() const { return list_.get(); }
    int get_shown_index() const { return shown_; }

protected:
    Items items_;

private:
    std::unique_ptr<List> list_;
    int selected_ = -1;
    int shown_ = -1;
};

template <class Items>
class ControlComboBoxGenericReadonly : public ControlComboBoxGenericBase<Items> {
public:
    ControlComboBoxGenericReadonly(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME)
        : ControlComboBoxGenericBase<Items>(container, name, lookup_mode), field_(make_field(*this)) {
        this->update_rect();
    }

    // The text the field shows for an item.
    virtual std::u16string get_item_text(int index) = 0;

    void on_item_click(Control* sender, Cell cell) override {
        this->close_dropdown_window();
        ControlComboBox::on_item_click(sender, cell);
    }

    void on_selection_changed(Control* sender) override {
        show_choice();
        if (sender != this->get_list()) ControlComboBox::on_selection_changed(sender);
    }

    // The same items with new texts (after a language switch, say): the choice stays, by its
    // place in the list, and the field shows it in its new text. Nothing is reported.
    void replace_item_texts(Items items) {
        this->set_items(std::move(items));
        show_choice();
    }

    Control* get_field() override { return field_.get(); }
    ControlFrame& get_text_frame() { return *field_; }

protected:
    // The field shows the chosen item's text; nothing for no choice or an index past the items.
    virtual void show_choice() {
        int const index = this->get_selected_index();
        field_->set_text(index >= 0 && index < this->get_item_count() ? get_item_text(index) : std::u16string());
    }

private:
    static std::unique_ptr<ControlFrame> make_field(ControlComboBox& combo) {
        std::u16string const kind =
            combo.get_lookup_mode() == LOOKUP_NONE ? std::u16string() : combo.get_string_property(u"EditKind", u"");
        return std::make_unique<ControlFrame>(combo.get_panel_container(), kind, LOOKUP_BY_KIND);
    }

    std::unique_ptr<ControlFrame> field_;
};

}  // namespace skinner
