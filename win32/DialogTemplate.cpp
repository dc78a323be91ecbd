#include "DialogTemplate.h"

#include <commctrl.h>

#include <string>

#include "WideText.h"

namespace drovana {

namespace {

// Predefined classes of the template format, by their atoms.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kEditAtom = 0x0081;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kListBoxAtom = 0x0083;

constexpr DWORD kDialogStyle =
    DS_SHELLFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;

class TemplateWriter {
public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void Atom(WORD atom) {
        Word(0xFFFF);
        Word(atom);
    }
    void AlignToDword() {
        if (words_.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(words_); }

private:
    std::vector<WORD> words_;
};

void WriteClass(TemplateWriter& out, ControlKind kind) {
    switch (kind) {
        case ControlKind::kEdit:
            out.Atom(kEditAtom);
            return;
        case ControlKind::kPushButton:
        case ControlKind::kDefaultPushButton:
        case ControlKind::kAutoCheckBox:
            out.Atom(kButtonAtom);
            return;
        case ControlKind::kListBox:
            out.Atom(kListBoxAtom);
            return;
        case ControlKind::kLabel:
        case ControlKind::kGreyFrame:
            out.Atom(kStaticAtom);
            return;
        case ControlKind::kProgressBar:
            out.Text(PROGRESS_CLASSW);
            return;
    }
}

DWORD KindStyle(const DialogControl& control) {
    switch (control.kind) {
        case ControlKind::kEdit:
            return ES_LEFT | ES_AUTOHSCROLL;
        case ControlKind::kPushButton:
            return BS_PUSHBUTTON;
        case ControlKind::kDefaultPushButton:
            return BS_DEFPUSHBUTTON;
        case ControlKind::kAutoCheckBox:
            return BS_AUTOCHECKBOX;
        case ControlKind::kListBox:
            // Owner-drawn for the failure marks; entries arrive sorted from
            // the batch rules, so the control never sorts them itself.
            return LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                   ((control.style & kMultiColumn) ? LBS_MULTICOLUMN : 0);
        case ControlKind::kLabel:
            // File names and paths go here: an '&' is no mnemonic.
            return SS_LEFT | SS_NOPREFIX |
                   ((control.style & kCentreVertically) ? SS_CENTERIMAGE : 0);
        case ControlKind::kProgressBar:
            return PBS_SMOOTH;
        case ControlKind::kGreyFrame:
            return SS_GRAYFRAME;
    }
    return 0;
}

// Edits and lists draw their border as the system draws sunken fields.
bool SunkenBorder(const DialogControl& control) {
    return (control.style & kBorder) &&
           (control.kind == ControlKind::kEdit || control.kind == ControlKind::kListBox);
}

}  // namespace

DWORD ControlStyle(const DialogControl& control) {
    DWORD style = WS_CHILD | WS_VISIBLE | KindStyle(control);
    if (control.style & kTabStop) {
        style |= WS_TABSTOP;
    }
    if ((control.style & kBorder) && !SunkenBorder(control)) {
        style |= WS_BORDER;
    }
    if (control.style & kVScroll) {
        style |= WS_VSCROLL;
    }
    if (control.style & kHScroll) {
        style |= WS_HSCROLL;
    }
    return style;
}

std::vector<WORD> BuildDialogTemplate(const DialogLayout& layout) {
    TemplateWriter out;
    out.Word(1);       // version of the extended template
    out.Word(0xFFFF);  // its signature
    out.Dword(0);      // help id
    out.Dword(0);      // extended style
    out.Dword(kDialogStyle);
    out.Word(static_cast<WORD>(layout.controlCount));
    out.Word(0);
    out.Word(0);
    out.Word(static_cast<WORD>(layout.cx));
    out.Word(static_cast<WORD>(layout.cy));
    out.Word(0);  // no menu
    out.Word(0);  // the system's dialog class
    out.Text(WideOf(layout.caption));
    out.Word(static_cast<WORD>(layout.pointSize));
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    out.Text(kDialogFace);

    for (int i = 0; i < layout.controlCount; ++i) {
        const DialogControl& control = layout.controls[i];
        out.AlignToDword();
        out.Dword(0);  // help id
        out.Dword(SunkenBorder(control) ? WS_EX_CLIENTEDGE : 0);
        out.Dword(ControlStyle(control));
        out.Word(static_cast<WORD>(control.x));
        out.Word(static_cast<WORD>(control.y));
        out.Word(static_cast<WORD>(control.cx));
        out.Word(static_cast<WORD>(control.cy));
        out.Dword(static_cast<DWORD>(control.id));
        WriteClass(out, control.kind);
        out.Text(WideOf(control.text));
        out.Word(0);  // no creation data
    }
    return out.Take();
}

}  // namespace drovana
