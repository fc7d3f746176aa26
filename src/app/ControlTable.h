#pragma once
// The description of every control of the window: the table reads like the design documents,
// and the window creates its controls from it in a loop.
#include <span>
#include <string_view>

#include "app/GridPanel.h"
#include "app/Pages.h"

class TPallendoForm;

enum class ControlKind { Button, CheckBox, RadioButton, Label, Edit, ComboBox, GroupBox };
// The grid panels, in the order their controls are created.
enum class PanelId { None, GridPanel5, GridPanel1, GridPanel2, GridPanel4, GridPanel6, GridPanel3 };

using FormHandler = void (TPallendoForm::*)();
using KeyPressFormHandler = void (TPallendoForm::*)(wchar_t& key);

struct ControlRow {
    std::wstring_view name;
    Control& (*control)(TPallendoForm&) = nullptr;
    ControlKind kind = ControlKind::Button;
    std::wstring_view caption;
    PageId page = PageId::Edit;
    // The grid panel holding the control; none for the Edit page's two group boxes, which the
    // page lays out itself.
    PanelId panel = PanelId::None;
    int row = 0, column = 0, rowSpan = 1, columnSpan = 1;
    int tab = -1;  // order within its container; -1 for controls that are no tab stop
    bool enabled = true;
    bool checked = false;
    bool handCursor = false;
    int margin = 3;
    CellFit fit = CellFit::Fill;
    SIZE fixedSize{};
    FormHandler onClick = nullptr;
    FormHandler onChange = nullptr;
    FormHandler onEnter = nullptr;
    FormHandler onExit = nullptr;
    KeyPressFormHandler onKeyPress = nullptr;
    // For a label: the field it names. The label comes just before the field in z-order, where
    // assistive technology looks for a field's name (labels are no tab stops: the tab order
    // stays).
    std::wstring_view labels;
};

std::span<const ControlRow> ControlTable();
// The caption of a page's tab.
std::wstring_view PageCaption(PageId page);
// The rows in the order the controls are created: container by container, each in tab order.
std::span<const ControlRow* const> CreationOrder();
// The row of a control id (ids are assigned in table order), or nullptr.
const ControlRow* RowOfId(int id);
int IdOfRow(const ControlRow& row);
GridPanel* PanelOf(TPallendoForm& form, PanelId panel);
