// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// A UI Automation client of the Windows tests' own, as a screen reader is one: it finds the
// program's window by its title, asks UI Automation for the window's element (which sends
// the window WM_GETOBJECT with UiaRootObjectId, and so wakes the toolkit's UI Automation
// provider, which stays asleep until a client asks), says what the element is, and listens
// for the notifications raised on the window or within it, printing each one it is told of.
//
//   uia_client.exe TITLE SECONDS
//
// It prints, one a line, UTF-8:
//   window: "NAME"                     the window element's name
//   framework: "ID"                    who provides the element ("Qt" for the toolkit's own)
//   class: "CLASS"                     the class of the object behind it
//   notifications: listening           or: notifications: not delivered (hr 0x...)
//   ready                              once it listens: what the window says from now on
//                                      reaches it, if UI Automation delivers it
//   notification: kind K, processing P, "TEXT"
// and waits up to SECONDS for the first notification, then exits. Exit status: 0 one came,
// 3 none came in time, 4 this UI Automation delivers no notification events (it waited all
// the same, as a listening client does), 2 the window or its element could not be had,
// 1 wrong arguments.

#define COBJMACROS
#define WIN32_LEAN_AND_MEAN

#include <initguid.h>  // defines the interfaces' and classes' GUIDs here

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <stdio.h>
#include <stdlib.h>
#include <uiautomationclient.h>
#include <wchar.h>

// Writes a line to stdout, in UTF-8, at once: the test reads it while the client runs.
static void say(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vfprintf(stdout, format, args);
    va_end(args);
    fputc('\n', stdout);
    fflush(stdout);
}

// TEXT in UTF-8, quoted; a double quote or a backslash in it is escaped, so that the test
// reads the text back exactly. Freed by the caller.
static char* quoted(const wchar_t* text) {
    if (text == NULL) {
        text = L"";
    }
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, NULL, 0, NULL, NULL);
    char* plain = malloc((size_t)(bytes > 0 ? bytes : 1));
    char* out = malloc((size_t)(bytes > 0 ? bytes : 1) * 2 + 2);
    if (plain == NULL || out == NULL) {
        free(plain);
        free(out);
        return NULL;
    }
    if (bytes <= 0 || WideCharToMultiByte(CP_UTF8, 0, text, -1, plain, bytes, NULL, NULL) <= 0) {
        plain[0] = '\0';
    }
    char* to = out;
    *to++ = '"';
    for (const char* from = plain; *from != '\0'; from++) {
        if (*from == '"' || *from == '\\') {
            *to++ = '\\';
        }
        *to++ = *from;
    }
    *to++ = '"';
    *to = '\0';
    free(plain);
    return out;
}

static void sayText(const char* what, const wchar_t* text) {
    char* q = quoted(text);
    say("%s: %s", what, q != NULL ? q : "\"\"");
    free(q);
}

// --- The notification handler ----------------------------------------------------------
// A COM object of its own, called on UI Automation's threads (the client is in the
// multithreaded apartment): it prints what it is told and signals the main thread.

typedef struct {
    IUIAutomationNotificationEventHandler iface;
    LONG refs;
    HANDLE told;  // set once the first notification came
} Handler;

static Handler* handlerOf(IUIAutomationNotificationEventHandler* iface) {
    return CONTAINING_RECORD(iface, Handler, iface);
}

static HRESULT STDMETHODCALLTYPE handlerQueryInterface(IUIAutomationNotificationEventHandler* iface,
                                                       REFIID iid, void** out) {
    if (IsEqualIID(iid, &IID_IUnknown) ||
        IsEqualIID(iid, &IID_IUIAutomationNotificationEventHandler)) {
        *out = iface;
        IUIAutomationNotificationEventHandler_AddRef(iface);
        return S_OK;
    }
    *out = NULL;
    return E_NOINTERFACE;
}

static ULONG STDMETHODCALLTYPE handlerAddRef(IUIAutomationNotificationEventHandler* iface) {
    return (ULONG)InterlockedIncrement(&handlerOf(iface)->refs);
}

// The handler lives on main's stack for the whole run: the count is kept, nothing freed.
static ULONG STDMETHODCALLTYPE handlerRelease(IUIAutomationNotificationEventHandler* iface) {
    return (ULONG)InterlockedDecrement(&handlerOf(iface)->refs);
}

static HRESULT STDMETHODCALLTYPE handlerHandleNotificationEvent(
    IUIAutomationNotificationEventHandler* iface, IUIAutomationElement* sender,
    enum NotificationKind kind, enum NotificationProcessing processing, BSTR text,
    BSTR activity) {
    (void)sender;
    (void)activity;
    char* q = quoted(text);
    say("notification: kind %d, processing %d, %s", (int)kind, (int)processing,
        q != NULL ? q : "\"\"");
    free(q);
    SetEvent(handlerOf(iface)->told);
    return S_OK;
}

static IUIAutomationNotificationEventHandlerVtbl handlerVtbl = {
    handlerQueryInterface,
    handlerAddRef,
    handlerRelease,
    handlerHandleNotificationEvent,
};

// --- The client ------------------------------------------------------------------------

// The window titled TITLE, waited for up to SECONDS.
static HWND findWindow(const wchar_t* title, int seconds) {
    for (int tries = 0; tries < seconds * 10; tries++) {
        HWND window = FindWindowW(NULL, title);
        if (window != NULL) {
            return window;
        }
        Sleep(100);
    }
    return NULL;
}

// The window's element. A provider that is still starting up answers WM_GETOBJECT with
// nothing (the toolkit does so until its event loop runs): asked again for a few seconds.
static IUIAutomationElement* elementOf(IUIAutomation* automation, HWND window) {
    IUIAutomationElement* element = NULL;
    HRESULT hr = E_FAIL;
    for (int tries = 0; tries < 20; tries++) {
        hr = IUIAutomation_ElementFromHandle(automation, (UIA_HWND)window, &element);
        if (SUCCEEDED(hr) && element != NULL) {
            return element;
        }
        Sleep(500);
    }
    say("error: no element for the window (hr 0x%08lx)", (unsigned long)hr);
    return NULL;
}

// Prints one of the element's string properties; whether it had one. Asked as it is given,
// without UI Automation's defaults (GetCurrentPropertyValueEx, ignoring them: Wine 10 has
// only that form), so that what is printed is what a provider said.
static BOOL sayProperty(IUIAutomationElement* element, PROPERTYID property, const char* what) {
    VARIANT value;
    VariantInit(&value);
    const HRESULT hr =
        IUIAutomationElement_GetCurrentPropertyValueEx(element, property, TRUE, &value);
    const BOOL got = SUCCEEDED(hr) && V_VT(&value) == VT_BSTR;
    if (got) {
        sayText(what, V_BSTR(&value));
    } else {
        say("%s: none (hr 0x%08lx, type %d)", what, (unsigned long)hr, (int)V_VT(&value));
    }
    VariantClear(&value);
    return got;
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 || _wtoi(argv[2]) <= 0) {
        fprintf(stderr, "usage: uia_client TITLE SECONDS\n");
        return 1;
    }
    const wchar_t* title = argv[1];
    const int seconds = _wtoi(argv[2]);

    const HWND window = findWindow(title, 30);
    if (window == NULL) {
        say("error: no window titled as asked");
        return 2;
    }

    HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
    if (FAILED(hr)) {
        say("error: COM did not start (hr 0x%08lx)", (unsigned long)hr);
        return 2;
    }
    IUIAutomation* automation = NULL;
    hr = CoCreateInstance(&CLSID_CUIAutomation8, NULL, CLSCTX_INPROC_SERVER, &IID_IUIAutomation,
                          (void**)&automation);
    if (FAILED(hr)) {
        hr = CoCreateInstance(&CLSID_CUIAutomation, NULL, CLSCTX_INPROC_SERVER,
                              &IID_IUIAutomation, (void**)&automation);
    }
    if (FAILED(hr)) {
        say("error: no UI Automation (hr 0x%08lx)", (unsigned long)hr);
        CoUninitialize();
        return 2;
    }

    int status = 2;
    IUIAutomationElement* element = elementOf(automation, window);
    if (element != NULL) {
        BSTR name = NULL;
        hr = IUIAutomationElement_get_CurrentName(element, &name);
        sayText("window", SUCCEEDED(hr) ? name : NULL);
        SysFreeString(name);
        sayProperty(element, UIA_FrameworkIdPropertyId, "framework");
        sayProperty(element, UIA_ClassNamePropertyId, "class");

        Handler handler = {{&handlerVtbl}, 1, CreateEventW(NULL, TRUE, FALSE, NULL)};
        IUIAutomation5* automation5 = NULL;
        hr = IUIAutomation_QueryInterface(automation, &IID_IUIAutomation5, (void**)&automation5);
        if (SUCCEEDED(hr)) {
            hr = IUIAutomation5_AddNotificationEventHandler(automation5, element, TreeScope_Subtree,
                                                            NULL, &handler.iface);
        }
        const BOOL listening = SUCCEEDED(hr);
        if (listening) {
            say("notifications: listening");
        } else {
            say("notifications: not delivered (hr 0x%08lx)", (unsigned long)hr);
        }
        say("ready");

        const DWORD waited = WaitForSingleObject(handler.told, (DWORD)seconds * 1000);
        status = !listening ? 4 : waited == WAIT_OBJECT_0 ? 0 : 3;
        if (listening) {
            IUIAutomation5_RemoveNotificationEventHandler(automation5, element, &handler.iface);
        }
        if (automation5 != NULL) {
            IUIAutomation5_Release(automation5);
        }
        CloseHandle(handler.told);
        IUIAutomationElement_Release(element);
    }
    IUIAutomation_Release(automation);
    CoUninitialize();
    return status;
}
