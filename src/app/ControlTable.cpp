#include "app/ControlTable.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "app/PallendoForm.h"

namespace {

constexpr int kFirstId = 1000;

#define CONTROL(n) .name = L## #n, .control = [](TPallendoForm& f) -> Control& { return f.n; }
#define PANEL(p) .panel = PanelId::p
#define ON(event, handler) .event = &TPallendoForm::handler

using K = ControlKind;
using P = PageId;

constexpr SIZE kCheckBoxSize{180, 17};

constexpr ControlRow kControls[] = {
    // File page: two group boxes side by side, each with one column of four rows.
    {CONTROL(GroupBox1), .kind = K::GroupBox, .caption = L"このプログラムのショートカット",
     .page = P::File, PANEL(GridPanel5), .row = 0, .column = 0},
    {CONTROL(GroupBox2), .kind = K::GroupBox, .caption = L"設定", .page = P::File,
     PANEL(GridPanel5), .row = 0, .column = 1},
    {CONTROL(ButtonSendTo1), .caption = L"「送る」に登録・削除", .page = P::File, PANEL(GridPanel1),
     .row = 0, .tab = 0, .handCursor = true, .margin = 8, ON(onClick, ButtonSendTo1Click)},
    {CONTROL(ButtonDeskTop1), .caption = L"デスクトップに登録・削除", .page = P::File,
     PANEL(GridPanel1), .row = 1, .tab = 1, .handCursor = true, .margin = 8,
     ON(onClick, ButtonDeskTop1Click)},
    {CONTROL(ButtonStartMenu1), .caption = L"スタートメニューに登録・削除", .page = P::File,
     PANEL(GridPanel1), .row = 2, .tab = 2, .handCursor = true, .margin = 8,
     ON(onClick, ButtonStartMenu1Click)},
    {CONTROL(ButtonStartUp1), .caption = L"スタートアップに登録・削除", .page = P::File,
     PANEL(GridPanel1), .row = 3, .tab = 3, .handCursor = true, .margin = 8,
     ON(onClick, ButtonStartUp1Click)},
    {CONTROL(CheckBoxCloseQuery1), .kind = K::CheckBox, .caption = L"終了時に確認", .page = P::File,
     PANEL(GridPanel2), .row = 0, .tab = 0, .handCursor = true, .fit = CellFit::Centered,
     .fixedSize = kCheckBoxSize},
    {CONTROL(CheckBoxSaveStatus1), .kind = K::CheckBox, .caption = L"終了時の設定を保存",
     .page = P::File, PANEL(GridPanel2), .row = 1, .tab = 1, .checked = true, .handCursor = true,
     .fit = CellFit::Centered, .fixedSize = kCheckBoxSize},
    {CONTROL(CheckBoxAddHistory1), .kind = K::CheckBox,
     .caption = L"履歴に「メモ帳」「ペイント」を追加", .page = P::File, PANEL(GridPanel2), .row = 2,
     .tab = 2, .handCursor = true, .fit = CellFit::Centered, .fixedSize = kCheckBoxSize,
     ON(onClick, CheckBoxAddHistory1Click)},
    {CONTROL(ButtonDefApp1), .caption = L"既定のアプリの選択", .page = P::File, PANEL(GridPanel2),
     .row = 3, .tab = 3, .handCursor = true, .margin = 8, ON(onClick, ButtonDefApp1Click)},

    // Edit page, upper group: the launch pair.
    {CONTROL(GroupBox4), .kind = K::GroupBox, .caption = L"起動の組合せ", .page = P::Edit},
    {CONTROL(Label1), .kind = K::Label, .caption = L"対象ファイル（文書・画像等）",
     PANEL(GridPanel4), .row = 0, .column = 0, .columnSpan = 2, .fit = CellFit::BottomNatural,
     .labels = L"Edit1"},
    {CONTROL(ButtonEdit1Clear), .caption = L"クリア", PANEL(GridPanel4), .row = 0, .column = 2,
     .tab = 0, .enabled = false, .handCursor = true, ON(onClick, ButtonEdit1ClearClick)},
    {CONTROL(ButtonSelectFile1), .caption = L"参照", PANEL(GridPanel4), .row = 0, .column = 3,
     .tab = 1, .handCursor = true, ON(onClick, ButtonSelectFile1Click)},
    {CONTROL(Edit1), .kind = K::Edit, PANEL(GridPanel4), .row = 1, .column = 0, .columnSpan = 3,
     .tab = 2, .fit = CellFit::TopNatural, ON(onChange, Edit1Change)},
    {CONTROL(ButtonOpenDefault1), .caption = L"既定で開く", PANEL(GridPanel4), .row = 1,
     .column = 3, .tab = 3, .enabled = false, .handCursor = true,
     ON(onClick, ButtonOpenDefault1Click)},
    {CONTROL(Label2), .kind = K::Label, .caption = L"起動プログラム（*.exe）", PANEL(GridPanel4),
     .row = 2, .column = 0, .columnSpan = 2, .fit = CellFit::BottomNatural, .labels = L"ComboBox2"},
    {CONTROL(ButtonComboBox2Clear), .caption = L"クリア", PANEL(GridPanel4), .row = 2, .column = 2,
     .tab = 4, .enabled = false, .handCursor = true, ON(onClick, ButtonComboBox2ClearClick)},
    {CONTROL(ButtonSelectExe2), .caption = L"参照", PANEL(GridPanel4), .row = 2, .column = 3,
     .tab = 5, .handCursor = true, ON(onClick, ButtonSelectExe2Click)},
    {CONTROL(ComboBox2), .kind = K::ComboBox, PANEL(GridPanel4), .row = 3, .column = 0,
     .columnSpan = 3, .tab = 6, .fit = CellFit::TopNatural, ON(onChange, ComboBox2Change),
     ON(onEnter, ComboBox2Enter), ON(onExit, ComboBox2Exit)},
    {CONTROL(ButtonExe2), .caption = L"単体で起動", PANEL(GridPanel4), .row = 3, .column = 3,
     .tab = 7, .enabled = false, .handCursor = true, ON(onClick, ButtonExe2Click)},
    {CONTROL(ButtonTest12), .caption = L"組合せテスト", PANEL(GridPanel4), .row = 4, .column = 3,
     .tab = 8, .enabled = false, .handCursor = true, ON(onClick, ButtonTest12Click)},

    // Edit page, lower group: the dedicated-shortcut panel.
    {CONTROL(GroupBox6), .kind = K::GroupBox, .caption = L"専用ショートカットを作成",
     .page = P::Edit},
    {CONTROL(RadioButtonDeskTop1), .kind = K::RadioButton, .caption = L"デスクトップ",
     PANEL(GridPanel6), .row = 0, .column = 0, .tab = 0, .enabled = false, .checked = true,
     .handCursor = true},
    {CONTROL(RadioButtonStartMenu2), .kind = K::RadioButton, .caption = L"スタートメニュー",
     PANEL(GridPanel6), .row = 0, .column = 1, .tab = 1, .enabled = false, .handCursor = true},
    {CONTROL(RadioButtonStartUp3), .kind = K::RadioButton, .caption = L"スタートアップ",
     PANEL(GridPanel6), .row = 0, .column = 2, .tab = 8, .enabled = false, .handCursor = true},
    {CONTROL(ButtonOpenFolder3), .caption = L"作成先を開く", PANEL(GridPanel6), .row = 0,
     .column = 3, .tab = 5, .enabled = false, .handCursor = true,
     ON(onClick, ButtonOpenFolder3Click)},
    {CONTROL(Label3), .kind = K::Label, .caption = L"表示名", PANEL(GridPanel6), .row = 1,
     .column = 0, .fit = CellFit::BottomNatural, .labels = L"Edit3"},
    {CONTROL(ButtonEdit3Clear), .caption = L"クリア", PANEL(GridPanel6), .row = 1, .column = 1,
     .tab = 2, .enabled = false, ON(onClick, ButtonEdit3ClearClick)},
    {CONTROL(ButtonCreate3), .caption = L"作成", PANEL(GridPanel6), .row = 1, .column = 2,
     .rowSpan = 2, .tab = 4, .enabled = false, .handCursor = true, ON(onClick, ButtonCreate3Click)},
    {CONTROL(ButtonProperties3), .caption = L"プロパティを表示", PANEL(GridPanel6), .row = 1,
     .column = 3, .tab = 6, .enabled = false, .handCursor = true,
     ON(onClick, ButtonProperties3Click)},
    {CONTROL(Edit3), .kind = K::Edit, PANEL(GridPanel6), .row = 2, .column = 0, .columnSpan = 2,
     .tab = 3, .fit = CellFit::TopNatural, ON(onChange, Edit3Change),
     ON(onKeyPress, Edit3KeyPress)},
    {CONTROL(ButtonExeLink3), .caption = L"起動", PANEL(GridPanel6), .row = 2, .column = 3,
     .tab = 7, .enabled = false, ON(onClick, ButtonExeLink3Click)},

    // Help page: five buttons in a grid of two columns and three rows.
    {CONTROL(Button4), .caption = L"ヘルプ表示", .page = P::Help, PANEL(GridPanel3), .row = 0,
     .column = 0, .tab = 0, .handCursor = true, .margin = 8, ON(onClick, Button4Click)},
    {CONTROL(Button5), .caption = L"バージョン情報", .page = P::Help, PANEL(GridPanel3), .row = 1,
     .column = 0, .tab = 1, .handCursor = true, .margin = 8, ON(onClick, Button5Click)},
    {CONTROL(Button6), .caption = L"プロパティ表示", .page = P::Help, PANEL(GridPanel3), .row = 2,
     .column = 0, .tab = 2, .handCursor = true, .margin = 8, ON(onClick, Button6Click)},
    {CONTROL(Button7), .caption = L"開発支援", .page = P::Help, PANEL(GridPanel3), .row = 0,
     .column = 1, .tab = 3, .handCursor = true, .margin = 8, ON(onClick, Button7Click)},
    {CONTROL(Button8), .caption = L"ホームページ", .page = P::Help, PANEL(GridPanel3), .row = 1,
     .column = 1, .tab = 4, .handCursor = true, .margin = 8, ON(onClick, Button8Click)},
};

#undef CONTROL
#undef PANEL
#undef ON

// The tab order of the field a label names; -1 for anything else.
int LabelledTab(const ControlRow& label) {
    if (label.labels.empty()) return -1;
    for (const ControlRow& row : kControls)
        if (row.name == label.labels) return row.tab;
    return -1;
}

std::vector<const ControlRow*> BuildCreationOrder() {
    // Page by page: group boxes first, then panel by panel, each in tab order; a label just
    // before the field it names.
    std::vector<const ControlRow*> rows;
    for (const ControlRow& row : kControls) rows.push_back(&row);
    std::stable_sort(rows.begin(), rows.end(), [](const ControlRow* a, const ControlRow* b) {
        auto key = [](const ControlRow* s) {
            const bool box = s->kind == ControlKind::GroupBox;
            const int labelled = LabelledTab(*s);
            const int tab = labelled >= 0 ? labelled : s->tab;
            return std::tuple(static_cast<int>(s->page), box ? 0 : 1,
                              box ? 0 : static_cast<int>(s->panel), box ? 0 : tab,
                              labelled >= 0 ? 0 : 1);
        };
        return key(a) < key(b);
    });
    return rows;
}

}  // namespace

std::wstring_view PageCaption(PageId page) {
    switch (page) {
    case PageId::File: return L"ファイル";
    case PageId::Edit: return L"編集";
    case PageId::Help: return L"ヘルプ";
    }
    return {};
}

std::span<const ControlRow> ControlTable() {
    return kControls;
}

std::span<const ControlRow* const> CreationOrder() {
    static const std::vector<const ControlRow*> order = BuildCreationOrder();
    return order;
}

const ControlRow* RowOfId(int id) {
    const int index = id - kFirstId;
    if (index < 0 || index >= static_cast<int>(std::size(kControls))) return nullptr;
    return &kControls[index];
}

int IdOfRow(const ControlRow& row) {
    return kFirstId + static_cast<int>(&row - kControls);
}

GridPanel* PanelOf(TPallendoForm& form, PanelId panel) {
    switch (panel) {
    case PanelId::GridPanel1: return &form.GridPanel1;
    case PanelId::GridPanel2: return &form.GridPanel2;
    case PanelId::GridPanel3: return &form.GridPanel3;
    case PanelId::GridPanel4: return &form.GridPanel4;
    case PanelId::GridPanel5: return &form.GridPanel5;
    case PanelId::GridPanel6: return &form.GridPanel6;
    case PanelId::None: break;
    }
    return nullptr;
}
