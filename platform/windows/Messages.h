// Window messages delivered to controls, with the classic codes, and the key and mouse codes.
#pragma once

#include <cstdint>

namespace plat {

struct TMessage {
  uint32_t Msg = 0;
  intptr_t WParam = 0;
  intptr_t LParam = 0;
  intptr_t Result = 0;
};

// Window messages.
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_SETFOCUS = 0x0007;
inline constexpr uint32_t WM_KILLFOCUS = 0x0008;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_ERASEBKGND = 0x0014;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_CONTEXTMENU = 0x007B;  // LParam: screen point, (-1, -1) from keys
inline constexpr uint32_t WM_GETDLGCODE = 0x0087;
inline constexpr uint32_t WM_NCCALCSIZE = 0x0083;
inline constexpr uint32_t WM_NCHITTEST = 0x0084;
inline constexpr uint32_t WM_NCPAINT = 0x0085;
inline constexpr uint32_t WM_NCLBUTTONDOWN = 0x00A1;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_TIMER = 0x0113;
inline constexpr uint32_t WM_HSCROLL = 0x0114;
inline constexpr uint32_t WM_VSCROLL = 0x0115;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr uint32_t WM_THEMECHANGED = 0x031A;
inline constexpr uint32_t WM_USER = 0x0400;

// Component messages (the layer's own notifications).
inline constexpr uint32_t CM_BASE = 0xB000;
inline constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
inline constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
inline constexpr uint32_t CM_INVALIDATE = CM_BASE + 28;
inline constexpr uint32_t CM_ENTER = CM_BASE + 10;
inline constexpr uint32_t CM_EXIT = CM_BASE + 11;
// Enter or Esc offered to the buttons of a form (WParam: the key); non-zero when taken.
inline constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
// An Alt+letter mnemonic offered to the controls of a form (WParam: the character); non-zero
// when taken.
inline constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;
// Posted to a control whose item or line list was handed out for changes, and sent before its
// look is taken: the widget takes the items.
inline constexpr uint32_t CM_SYNCITEMS = CM_BASE + 40;

// Hit-test codes.
inline constexpr intptr_t HTCLIENT = 1;
inline constexpr intptr_t HTBOTTOMRIGHT = 17;

// Dialog-code answers.
inline constexpr intptr_t DLGC_WANTARROWS = 1;
inline constexpr intptr_t DLGC_WANTTAB = 2;
inline constexpr intptr_t DLGC_WANTALLKEYS = 4;
inline constexpr intptr_t DLGC_WANTCHARS = 0x80;

// Mouse message key flags (WParam of mouse messages); MK_ALT is the layer's own addition.
inline constexpr intptr_t MK_LBUTTON = 0x01;
inline constexpr intptr_t MK_RBUTTON = 0x02;
inline constexpr intptr_t MK_SHIFT = 0x04;
inline constexpr intptr_t MK_CONTROL = 0x08;
inline constexpr intptr_t MK_MBUTTON = 0x10;
inline constexpr intptr_t MK_ALT = 0x20;

// Scroll codes.
inline constexpr int SB_LINEUP = 0;
inline constexpr int SB_LINEDOWN = 1;
inline constexpr int SB_PAGEUP = 2;
inline constexpr int SB_PAGEDOWN = 3;
inline constexpr int SB_THUMBPOSITION = 4;
inline constexpr int SB_THUMBTRACK = 5;
inline constexpr int SB_TOP = 6;
inline constexpr int SB_BOTTOM = 7;
inline constexpr int SB_ENDSCROLL = 8;

// Virtual key codes.
inline constexpr uint16_t VK_LBUTTON = 0x01;
inline constexpr uint16_t VK_RBUTTON = 0x02;
inline constexpr uint16_t VK_MBUTTON = 0x04;
inline constexpr uint16_t VK_BACK = 0x08;
inline constexpr uint16_t VK_TAB = 0x09;
inline constexpr uint16_t VK_RETURN = 0x0D;
inline constexpr uint16_t VK_SHIFT = 0x10;
inline constexpr uint16_t VK_CONTROL = 0x11;
inline constexpr uint16_t VK_MENU = 0x12;
inline constexpr uint16_t VK_ESCAPE = 0x1B;
inline constexpr uint16_t VK_SPACE = 0x20;
inline constexpr uint16_t VK_PRIOR = 0x21;
inline constexpr uint16_t VK_NEXT = 0x22;
inline constexpr uint16_t VK_END = 0x23;
inline constexpr uint16_t VK_HOME = 0x24;
inline constexpr uint16_t VK_LEFT = 0x25;
inline constexpr uint16_t VK_UP = 0x26;
inline constexpr uint16_t VK_RIGHT = 0x27;
inline constexpr uint16_t VK_DOWN = 0x28;
inline constexpr uint16_t VK_INSERT = 0x2D;
inline constexpr uint16_t VK_DELETE = 0x2E;
inline constexpr uint16_t VK_NUMPAD0 = 0x60;
inline constexpr uint16_t VK_MULTIPLY = 0x6A;
inline constexpr uint16_t VK_ADD = 0x6B;
inline constexpr uint16_t VK_SUBTRACT = 0x6D;
inline constexpr uint16_t VK_DECIMAL = 0x6E;
inline constexpr uint16_t VK_DIVIDE = 0x6F;
inline constexpr uint16_t VK_F1 = 0x70;
// Letters and digits use their upper-case ASCII codes ('A', '0').

// Mouse coordinates packed into LParam: signed 16-bit x in the low word, y in the high word.
constexpr intptr_t MakeLParam(int lo, int hi) {
  return static_cast<intptr_t>(static_cast<uint32_t>(static_cast<uint16_t>(lo)) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(hi)) << 16));
}
constexpr int LParamX(intptr_t l) {
  return static_cast<int16_t>(static_cast<uint16_t>(l));
}
constexpr int LParamY(intptr_t l) {
  return static_cast<int16_t>(static_cast<uint16_t>(l >> 16));
}
// Wheel messages carry the signed delta in the high word of WParam.
constexpr int WheelDelta(intptr_t w) {
  return static_cast<int16_t>(static_cast<uint16_t>(w >> 16));
}

}  // namespace plat

namespace plat {

// Message boxes: buttons and icons, and the answers (also the modal results of forms).
inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_OKCANCEL = 0x01;
inline constexpr uint32_t MB_YESNOCANCEL = 0x03;
inline constexpr uint32_t MB_YESNO = 0x04;
inline constexpr uint32_t MB_ICONERROR = 0x10;
inline constexpr uint32_t MB_ICONQUESTION = 0x20;
inline constexpr uint32_t MB_ICONWARNING = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = IDOK;
inline constexpr TModalResult mrCancel = IDCANCEL;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = IDYES;
inline constexpr TModalResult mrNo = IDNO;
inline constexpr TModalResult mrAll = 8;
inline constexpr TModalResult mrNoToAll = 9;
inline constexpr TModalResult mrYesToAll = 10;

}  // namespace plat
