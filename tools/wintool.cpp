// Test helper for driving the program from outside, under Wine (scripts/run.sh starts it too):
//   wintool launch          starts the command line in VELVANE_CMDLINE exactly as written (Wine
//                           would re-quote arguments), prints its process id, exits with its code
//   wintool list CLASS      one line per top-level window of the class ("*": all), front first:
//                           hwnd pid left top right bottom visible topmost exstyle index foreground class
//   wintool close HWND      posts WM_CLOSE to the window (as window-closing tools do)
//   wintool closeone HWND   closes one pin as the user does with Alt+F4
//   wintool endsession HWND tells the window that Windows ends the session, as at sign-out
//   wintool drop X Y FILE.. drags the files from here to the screen point, as Explorer would, and
//                           drops them a second later: prints "copy" when taken, "none" when not
//   wintool offer X Y virtual|png FILE   the same with the file's bytes as a browser or an image
//                           editor offers them: a virtual file (a descriptor named "..\..\picture.png"
//                           and its contents) or "PNG" image data

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

// An object of the interface that lives on the stack as long as anyone uses it: no counting.
template <class Interface, const IID& kIid>
struct OnStack : Interface {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        *out = riid == IID_IUnknown || riid == kIid ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};

// Drops a second after the drag began, wherever the pointer is then.
struct DropSoon : OnStack<IDropSource, IID_IDropSource> {
    DWORD start = GetTickCount();
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return GetTickCount() - start > 1000 ? DRAGDROP_S_DROP : S_OK; }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Formats of bytes each, handed out in global memory; a format's index is its lindex (-1: none).
struct Offered : OnStack<IDataObject, IID_IDataObject> {
    std::vector<std::pair<FORMATETC, std::string>> formats;
    const std::string* Find(const FORMATETC* f) const {
        for (const auto& [format, bytes] : formats)
            if (format.cfFormat == f->cfFormat && format.lindex == f->lindex && (f->tymed & TYMED_HGLOBAL)) return &bytes;
        return nullptr;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* medium) override {
        const std::string* bytes = Find(f);
        HGLOBAL global = bytes ? GlobalAlloc(GMEM_MOVEABLE, bytes->size()) : nullptr;
        if (!global) return DV_E_FORMATETC;
        std::memcpy(GlobalLock(global), bytes->data(), bytes->size());
        GlobalUnlock(global);
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = global;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override { return Find(f) ? S_OK : DV_E_FORMATETC; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override { return out->ptd = nullptr, E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        std::vector<FORMATETC> list;
        for (const auto& offered : formats) list.push_back(offered.first);
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    void Add(CLIPFORMAT format, LONG index, std::string bytes) {
        formats.push_back({{format, nullptr, DVASPECT_CONTENT, index, TYMED_HGLOBAL}, std::move(bytes)});
    }

    // Dragged from here to the screen point and dropped there.
    int DragAndDrop(int x, int y) {
        if (FAILED(OleInitialize(nullptr))) return 2;
        SetCursorPos(x, y);
        DropSoon source;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT result = DoDragDrop(this, &source, DROPEFFECT_COPY, &effect);
        std::printf("%s\n", result == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY ? "copy" : "none");
        OleUninitialize();
        return 0;
    }
};

static CLIPFORMAT Registered(const wchar_t* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name)); }

static int Offer(int x, int y, const std::wstring& kind, const wchar_t* file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    Offered data;
    if (kind == L"png") {
        data.Add(Registered(L"PNG"), -1, bytes);
    } else {
        FILEGROUPDESCRIPTORW group{};
        group.cItems = 1;
        group.fgd[0].dwFlags = FD_FILESIZE;
        group.fgd[0].nFileSizeLow = static_cast<DWORD>(bytes.size());
        std::wcscpy(group.fgd[0].cFileName, L"..\\..\\picture.png");
        data.Add(Registered(CFSTR_FILEDESCRIPTORW), -1, std::string(reinterpret_cast<const char*>(&group), sizeof group));
        data.Add(Registered(CFSTR_FILECONTENTS), 0, bytes);
    }
    return bytes.empty() ? 2 : data.DragAndDrop(x, y);
}

// The files as the shell's file list: a DROPFILES header, then each path and its NUL, then one more.
static int Drop(int x, int y, int count, wchar_t** files) {
    const DROPFILES header{sizeof(DROPFILES), {0, 0}, FALSE, TRUE};  // wide paths, right after it
    std::wstring list;
    for (int i = 0; i < count; ++i) list += files[i] + std::wstring(1, L'\0');
    Offered data;
    data.Add(CF_HDROP, -1, std::string(reinterpret_cast<const char*>(&header), sizeof header) +
                               std::string(reinterpret_cast<const char*>(list.c_str()), (list.size() + 1) * sizeof(wchar_t)));
    return data.DragAndDrop(x, y);
}

static HWND Window(const wchar_t* handle) { return reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(handle, nullptr, 10))); }

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"launch") {
        wchar_t commandLine[32768];
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!GetEnvironmentVariableW(L"VELVANE_CMDLINE", commandLine, 32768) ||
            !CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return 2;
        std::printf("%lu\n", process.dwProcessId);
        std::fflush(stdout);
        DWORD code = 0;
        WaitForSingleObject(process.hProcess, INFINITE);
        return GetExitCodeProcess(process.hProcess, &code), static_cast<int>(code);
    }
    if (verb == L"offer" && argc == 6) return Offer(std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10), argv[4], argv[5]);
    if (verb == L"drop" && argc > 4) return Drop(std::wcstol(argv[2], nullptr, 10), std::wcstol(argv[3], nullptr, 10), argc - 4, argv + 4);
    if ((verb == L"close" || verb == L"closeone") && argc > 2)
        return PostMessageW(Window(argv[2]), verb == L"close" ? WM_CLOSE : WM_SYSCOMMAND, verb == L"close" ? 0 : SC_CLOSE, 0) ? 0 : 1;
    if (verb == L"endsession" && argc > 2) {
        SendMessageW(Window(argv[2]), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        return SendMessageW(Window(argv[2]), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF), 0;
    }
    if (verb != L"list" || argc < 3) return 2;
    int index = 0;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT), ++index) {
        wchar_t name[256] = L"";
        DWORD pid = 0;
        RECT r{};
        if (!GetClassNameW(w, name, 256) || (std::wcscmp(argv[2], L"*") != 0 && std::wcscmp(name, argv[2]) != 0)) continue;
        GetWindowThreadProcessId(w, &pid);
        GetWindowRect(w, &r);
        std::printf("%lld %lu %ld %ld %ld %ld %d %d %ld %d %d %ls\n", static_cast<long long>(reinterpret_cast<INT_PTR>(w)), pid, r.left, r.top,
                    r.right, r.bottom, IsWindowVisible(w) ? 1 : 0, (GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0,
                    GetWindowLongW(w, GWL_EXSTYLE), index, GetForegroundWindow() == w ? 1 : 0, name);
    }
    return 0;
}
