// The subset of Win32, WGL and GDI that the application shell uses.
//
// On Windows this is the real <windows.h>. Elsewhere the same names and
// signatures are declared here and implemented by the X11/GLX layer in this
// folder, so the shell is written once against one API.
#pragma once

#ifdef _WIN32

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#else

#include <cstdint>

// Calling conventions mean nothing outside Windows.
#define WINAPI
#define CALLBACK
#define APIENTRY

typedef int BOOL;
typedef unsigned int UINT;
typedef std::uint32_t DWORD;
typedef std::uint16_t WORD;
typedef std::uint8_t BYTE;
typedef std::uint16_t ATOM;
typedef std::int32_t LONG;
typedef std::intptr_t LONG_PTR;
typedef std::uintptr_t UINT_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void *LPVOID;
typedef char *LPSTR;
// Wide strings are UTF-16, as on Windows.
typedef char16_t WCHAR;
typedef const WCHAR *LPCWSTR;

#define TRUE 1
#define FALSE 0

// Handles are distinct opaque pointer types, so they cannot be mixed up.
#define KORVANE_DECLARE_HANDLE(name)                                                               \
    struct name##__;                                                                               \
    typedef struct name##__ *name
KORVANE_DECLARE_HANDLE(HWND);
KORVANE_DECLARE_HANDLE(HINSTANCE);
KORVANE_DECLARE_HANDLE(HICON);
KORVANE_DECLARE_HANDLE(HCURSOR);
KORVANE_DECLARE_HANDLE(HBRUSH);
KORVANE_DECLARE_HANDLE(HMENU);
KORVANE_DECLARE_HANDLE(HDC);
KORVANE_DECLARE_HANDLE(HGLRC);
#undef KORVANE_DECLARE_HANDLE
typedef HINSTANCE HMODULE;

// String literals for the wide-character API.
#define TEXT(s) u##s
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPCWSTR>(static_cast<UINT_PTR>(static_cast<WORD>(i))))

#define LOWORD(l) (static_cast<WORD>(static_cast<UINT_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<UINT_PTR>(l) >> 16) & 0xffff))
#define MAKELPARAM(lo, hi)                                                                         \
    (static_cast<LPARAM>(static_cast<DWORD>((static_cast<WORD>(lo)) |                              \
                                            (static_cast<DWORD>(static_cast<WORD>(hi)) << 16))))

typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT *LPRECT;

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG *LPMSG;

struct PIXELFORMATDESCRIPTOR {
    WORD nSize;
    WORD nVersion;
    DWORD dwFlags;
    BYTE iPixelType;
    BYTE cColorBits;
    BYTE cRedBits;
    BYTE cRedShift;
    BYTE cGreenBits;
    BYTE cGreenShift;
    BYTE cBlueBits;
    BYTE cBlueShift;
    BYTE cAlphaBits;
    BYTE cAlphaShift;
    BYTE cAccumBits;
    BYTE cAccumRedBits;
    BYTE cAccumGreenBits;
    BYTE cAccumBlueBits;
    BYTE cAccumAlphaBits;
    BYTE cDepthBits;
    BYTE cStencilBits;
    BYTE cAuxBuffers;
    BYTE iLayerType;
    BYTE bReserved;
    DWORD dwLayerMask;
    DWORD dwVisibleMask;
    DWORD dwDamageMask;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "PIXELFORMATDESCRIPTOR must be 40 bytes");

// Class styles.
#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define CS_OWNDC 0x0020

// Window styles.
#define WS_OVERLAPPED 0x00000000L
#define WS_CAPTION 0x00C00000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW                                                                        \
    (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_APPWINDOW 0x00040000L
#define CW_USEDEFAULT (static_cast<int>(0x80000000))

// ShowWindow command.
#define SW_SHOW 5

// PeekMessage option.
#define PM_REMOVE 0x0001

// Messages.
#define WM_DESTROY 0x0002
#define WM_SIZE 0x0005
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_KEYDOWN 0x0100
#define WM_SYSKEYDOWN 0x0104
#define WM_SYSCOMMAND 0x0112

// WM_SYSCOMMAND requests (wParam).
#define SC_CLOSE 0xF060

// WM_SIZE kinds (wParam).
#define SIZE_RESTORED 0
#define SIZE_MINIMIZED 1

// Virtual-key codes: those the program and its tests name.
#define VK_RETURN 0x0D
#define VK_MENU 0x12 // Alt
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_LEFT 0x25
#define VK_RIGHT 0x27
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F10 0x79
#define VK_F12 0x7B

// System icon and cursor identifiers.
#define IDI_WINLOGO MAKEINTRESOURCEW(32517)
#define IDC_ARROW MAKEINTRESOURCEW(32512)

// Pixel format flags and types.
#define PFD_DOUBLEBUFFER 0x00000001
#define PFD_DRAW_TO_WINDOW 0x00000004
#define PFD_SUPPORT_OPENGL 0x00000020
#define PFD_TYPE_RGBA 0
#define PFD_TYPE_COLORINDEX 1
#define PFD_MAIN_PLANE 0

// The functions have C linkage, as on Windows, so that tests can stand in for
// one of them by its plain name (GNU ld --wrap).
extern "C" {

// kernel32
HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);
DWORD WINAPI GetTickCount();

// user32: classes and windows
HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR iconName);
HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName);
ATOM WINAPI RegisterClassW(const WNDCLASSW *wndClass);
HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param);
BOOL WINAPI DestroyWindow(HWND hWnd);
BOOL WINAPI ShowWindow(HWND hWnd, int cmdShow);
BOOL WINAPI UpdateWindow(HWND hWnd);
BOOL WINAPI SetForegroundWindow(HWND hWnd);
HWND WINAPI SetFocus(HWND hWnd);
BOOL WINAPI GetClientRect(HWND hWnd, LPRECT rect);
BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR text);

// user32: messages
BOOL WINAPI PeekMessageW(LPMSG msg, HWND hWnd, UINT msgFilterMin, UINT msgFilterMax,
                         UINT removeMsg);
BOOL WINAPI TranslateMessage(const MSG *msg);
LRESULT WINAPI DispatchMessageW(const MSG *msg);
LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
void WINAPI PostQuitMessage(int exitCode);

// user32 / gdi32: device contexts, pixel formats and presentation
HDC WINAPI GetDC(HWND hWnd);
int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
int WINAPI ChoosePixelFormat(HDC hDC, const PIXELFORMATDESCRIPTOR *pfd);
BOOL WINAPI SetPixelFormat(HDC hDC, int format, const PIXELFORMATDESCRIPTOR *pfd);
int WINAPI DescribePixelFormat(HDC hDC, int format, UINT bytes, PIXELFORMATDESCRIPTOR *pfd);
BOOL WINAPI SwapBuffers(HDC hDC);

// opengl32: WGL contexts
HGLRC WINAPI wglCreateContext(HDC hDC);
BOOL WINAPI wglMakeCurrent(HDC hDC, HGLRC hGLRC);
BOOL WINAPI wglDeleteContext(HGLRC hGLRC);

// The program's entry function; the platform's own entry point calls it.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE prevInstance, LPSTR cmdLine, int cmdShow);

} // extern "C"

#endif
