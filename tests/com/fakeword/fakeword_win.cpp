// A stand-in for Word's automation server, for tests only: an in-process COM
// server registered under "WORD.Application". Each document is kept as text; the
// members a document run needs behave as Word's do, as far as these tests can see.
#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "tests/com/fake_dispatch_win.h"

namespace {

using rulecore::test::fake::Arguments;
using rulecore::test::fake::ComPtr;
using rulecore::test::fake::FakeDispatch;
using rulecore::test::fake::giveBoolean;
using rulecore::test::fake::giveInteger;
using rulecore::test::fake::giveObject;
using rulecore::test::fake::giveText;
using rulecore::test::fake::Member;

// {6B0C7A52-3D1E-4C8F-9A4B-2E5F7D9C1A30}
constexpr CLSID fakeWordClass = {0x6b0c7a52, 0x3d1e, 0x4c8f, {0x9a, 0x4b, 0x2e, 0x5f, 0x7d, 0x9c, 0x1a, 0x30}};
constexpr wchar_t programId[] = L"WORD.Application";
constexpr UINT codePage = 936;
// Word refuses find and replacement texts longer than this (its error 5854).
constexpr std::size_t longestFindText = 255;

HMODULE thisModule = nullptr;

// ---- files, in code page 936 ----

std::wstring environment(const wchar_t* name) {
    wchar_t buffer[MAX_PATH * 2];
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH * 2);
    if (length == 0 || length >= MAX_PATH * 2) return {};
    return std::wstring(buffer, length);
}

// Accepts Unix paths too (test scripts hand those out); Wine maps / to Z:.
std::wstring windowsPath(std::wstring path) {
    if (!path.empty() && path[0] == L'/') {
        std::replace(path.begin(), path.end(), L'/', L'\\');
        path = L"Z:" + path;
    }
    return path;
}

std::wstring decode(const std::string& bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), needed);
    return text;
}

std::string encode(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

bool readFile(const std::wstring& path, std::string& bytes) {
    HANDLE file = CreateFileW(windowsPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bytes.clear();
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return true;
}

bool writeFile(const std::wstring& path, const std::string& bytes, bool append) {
    HANDLE file = CreateFileW(windowsPath(path).c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0, nullptr,
                              append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = bytes.empty() ||
                    (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                     written == bytes.size());
    CloseHandle(file);
    return ok;
}

std::wstring directoryOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

// One line per notable event (Open, SaveAs, PrintOut, Quit) when FAKEWORD_JOURNAL
// names a file, so tests can check what was asked of Word and in which order.
void journal(const std::wstring& line) {
    const std::wstring path = environment(L"FAKEWORD_JOURNAL");
    if (!path.empty()) writeFile(path, encode(line + L"\r\n"), true);
}

// ---- the object model ----

// What every object of the fake shares: after Quit, Word has gone away; while
// busy, calls are turned away as a busy Word turns them away.
struct Server {
    bool quit = false;
    LONG busyCalls = 0;       // calls still to be turned away once each
    bool turnedAway = false;  // the call now coming was turned away before
};

// Objects of the fake alive in this process. When the count drops to zero every
// reference a client took has been given back; FAKEWORD_RELEASELOG, when it names
// a file, gets a line "All released" each time that happens.
LONG liveObjects = 0;

class Object : public FakeDispatch {
public:
    Object(std::span<const Member> members, std::shared_ptr<Server> server)
        : FakeDispatch(rulecore::test::fake::typeInfoFor(members)), server_(std::move(server)) {
        ++liveObjects;
    }
    ~Object() override {
        if (--liveObjects > 0) return;
        const std::wstring path = environment(L"FAKEWORD_RELEASELOG");
        if (!path.empty()) writeFile(path, encode(L"All released\r\n"), true);
    }

protected:
    HRESULT call(DISPID id, WORD kind, const Arguments& args, VARIANT* result) final {
        if (server_->quit) return RPC_E_DISCONNECTED;
        if (server_->busyCalls > 0) {
            server_->turnedAway = !server_->turnedAway;
            if (server_->turnedAway) return RPC_E_SERVERCALL_RETRYLATER;
            --server_->busyCalls;
        }
        return answer(id, kind, args, result);
    }
    virtual HRESULT answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) = 0;
    std::shared_ptr<Server> server_;
};

template <class T>
HRESULT giveNew(VARIANT* result, T* object) {
    giveObject(result, object);
    object->Release();
    return S_OK;
}

struct DocumentData {
    std::wstring text;
    std::wstring path;
};

class Document;

enum : DISPID { TextId = 1, StartId, EndId, FindId, CollapseId };
constexpr Member rangeMembers[] = {
    {L"Text", TextId, DISPATCH_PROPERTYGET}, {L"Text", TextId, DISPATCH_PROPERTYPUT},
    {L"Start", StartId, DISPATCH_PROPERTYGET}, {L"End", EndId, DISPATCH_PROPERTYGET},
    {L"Find", FindId, DISPATCH_PROPERTYGET},  {L"Collapse", CollapseId, DISPATCH_METHOD},
};

class Range final : public Object {
public:
    Range(std::shared_ptr<Server> server, IDispatch* owner, DocumentData* document, std::size_t start, std::size_t end)
        : Object(rangeMembers, server), start_(start), end_(end), owner_(ComPtr<IDispatch>::share(owner)),
          document_(document) {}

    std::wstring& text() const { return document_->text; }
    void clamp() {
        end_ = std::min(end_, text().size());
        start_ = std::min(start_, end_);
    }
    std::size_t start_;  // public to the Find of this range
    std::size_t end_;

protected:
    HRESULT answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) override;

private:
    ComPtr<IDispatch> owner_;  // keeps the document alive
    DocumentData* document_;
};

enum : DISPID { ClearFormattingId = 10, ReplacementId, ExecuteId, ReplacementTextId };
constexpr Member replacementMembers[] = {
    {L"ClearFormatting", ClearFormattingId, DISPATCH_METHOD},
    {L"Text", ReplacementTextId, DISPATCH_PROPERTYGET},
    {L"Text", ReplacementTextId, DISPATCH_PROPERTYPUT},
};

class Replacement final : public Object {
public:
    explicit Replacement(std::shared_ptr<Server> server) : Object(replacementMembers, server) {}
    std::wstring text;

protected:
    HRESULT answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) override {
        switch (id) {
        case ClearFormattingId: return S_OK;
        case ReplacementTextId:
            if (kind == DISPATCH_PROPERTYPUT) {
                std::wstring given = args.text(args.count() - 1);
                if (given.size() > longestFindText) return DISP_E_EXCEPTION;
                text = std::move(given);
                return S_OK;
            }
            return giveText(result, text);
        }
        return DISP_E_MEMBERNOTFOUND;
    }
};

constexpr Member findMembers[] = {
    {L"ClearFormatting", ClearFormattingId, DISPATCH_METHOD},
    {L"Replacement", ReplacementId, DISPATCH_PROPERTYGET},
    {L"Execute", ExecuteId, DISPATCH_METHOD},
    {L"Text", TextId, DISPATCH_PROPERTYGET},
    {L"Text", TextId, DISPATCH_PROPERTYPUT},
};

class Find final : public Object {
public:
    Find(const std::shared_ptr<Server>& server, Range* range)
        : Object(findMembers, server), range_(ComPtr<Range>::share(range)), replacement_(new Replacement(server)) {}

protected:
    HRESULT answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) override {
        switch (id) {
        case ClearFormattingId: return S_OK;
        case ReplacementId: return giveObject(result, replacement_.get());
        case TextId:
            if (kind == DISPATCH_PROPERTYPUT) {
                text_ = args.text(args.count() - 1);
                return S_OK;
            }
            return giveText(result, text_);
        case ExecuteId: return execute(args, result);
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    // Execute(FindText, MatchCase, MatchWholeWord, MatchWildcards, MatchSoundsLike,
    // MatchAllWordForms, Forward, Wrap, Format, ReplaceWith, Replace, ...). Matching
    // is exact, forward only, with no special ^ sequences.
    HRESULT execute(const Arguments& args, VARIANT* result) {
        const std::wstring what = args.missing(0) ? text_ : args.text(0);
        const bool wrap = args.integer(7, 0) == 1;
        const std::wstring with = args.missing(9) ? replacement_->text : args.text(9);
        const LONG replace = args.integer(10, 0);
        if (what.size() > longestFindText || with.size() > longestFindText) return DISP_E_EXCEPTION;

        Range& range = *range_.get();
        range.clamp();
        std::wstring& text = range.text();
        // A collapsed range searches on to the end of the document (and round from
        // its start when wrapping); otherwise the search stays inside the range.
        const bool collapsed = range.start_ == range.end_;
        std::size_t limit = collapsed ? text.size() : range.end_;
        if (what.empty()) return giveBoolean(result, false);

        if (replace == 2) {
            bool any = false;
            for (std::size_t at = text.find(what, range.start_); at != std::wstring::npos && at + what.size() <= limit;
                 at = text.find(what, at + with.size())) {
                text.replace(at, what.size(), with);
                limit = limit + with.size() - what.size();
                any = true;
            }
            if (!collapsed) range.end_ = limit;
            return giveBoolean(result, any);
        }
        std::size_t at = text.find(what, range.start_);
        if (at != std::wstring::npos && at + what.size() > limit) at = std::wstring::npos;
        if (at == std::wstring::npos && collapsed && wrap) {
            at = text.find(what);
            if (at != std::wstring::npos && at + what.size() > range.start_) at = std::wstring::npos;
        }
        if (at == std::wstring::npos) return giveBoolean(result, false);
        std::size_t length = what.size();
        if (replace != 0) {
            text.replace(at, what.size(), with);
            length = with.size();
        }
        range.start_ = at;
        range.end_ = at + length;
        return giveBoolean(result, true);
    }

    ComPtr<Range> range_;
    ComPtr<Replacement> replacement_;
    std::wstring text_;
};

HRESULT Range::answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) {
    clamp();
    switch (id) {
    case TextId:
        if (kind == DISPATCH_PROPERTYPUT) {
            const std::wstring given = args.text(args.count() - 1);
            text().replace(start_, end_ - start_, given);
            end_ = start_ + given.size();
            return S_OK;
        }
        return giveText(result, text().substr(start_, end_ - start_));
    case StartId: return giveInteger(result, static_cast<LONG>(start_));
    case EndId: return giveInteger(result, static_cast<LONG>(end_));
    case FindId: return giveNew(result, new Find(server_, this));
    case CollapseId:
        // wdCollapseStart (1, the default) or wdCollapseEnd (0).
        if (args.integer(0, 1) == 0)
            start_ = end_;
        else
            end_ = start_;
        return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
}

std::wstring printLogPath(const std::wstring& besideDocument) {
    const std::wstring fromEnvironment = environment(L"FAKEWORD_PRINTLOG");
    if (!fromEnvironment.empty()) return fromEnvironment;
    return directoryOf(besideDocument) + L"printlog.txt";
}

// A print is the document's text followed by a form feed.
void print(const DocumentData& document) {
    writeFile(printLogPath(document.path), encode(document.text + L"\f"), true);
    journal(L"PrintOut");
}

enum : DISPID { ContentId = 20, SaveAsId, SaveId, CloseId, DocumentPrintOutId, DocumentRangeId };
constexpr Member documentMembers[] = {
    {L"Content", ContentId, DISPATCH_PROPERTYGET}, {L"SaveAs", SaveAsId, DISPATCH_METHOD},
    {L"Save", SaveId, DISPATCH_METHOD},            {L"Close", CloseId, DISPATCH_METHOD},
    {L"PrintOut", DocumentPrintOutId, DISPATCH_METHOD}, {L"Range", DocumentRangeId, DISPATCH_METHOD},
};

class Document final : public Object {
public:
    Document(std::shared_ptr<Server> server, DocumentData data)
        : Object(documentMembers, std::move(server)), data_(std::move(data)) {}
    bool closed = false;
    const DocumentData& data() const { return data_; }

protected:
    HRESULT answer(DISPID id, WORD, const Arguments& args, VARIANT* result) override {
        if (closed) return DISP_E_EXCEPTION;
        switch (id) {
        case ContentId: return giveNew(result, new Range(server_, this, &data_, 0, data_.text.size()));
        case DocumentRangeId: {
            const auto start = static_cast<std::size_t>(std::max<LONG>(0, args.integer(0, 0)));
            const auto end = static_cast<std::size_t>(
                std::max<LONG>(0, args.integer(1, static_cast<LONG>(data_.text.size()))));
            return giveNew(result, new Range(server_, this, &data_, std::min(start, end), end));
        }
        case SaveAsId: {
            const std::wstring path = args.text(0);
            if (path.empty() || !writeFile(path, encode(data_.text), false)) return DISP_E_EXCEPTION;
            data_.path = path;
            journal(L"SaveAs " + path);
            return S_OK;
        }
        case SaveId:
            if (data_.path.empty() || !writeFile(data_.path, encode(data_.text), false)) return DISP_E_EXCEPTION;
            return S_OK;
        case CloseId: closed = true; return S_OK;
        case DocumentPrintOutId: print(data_); return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    DocumentData data_;
};

enum : DISPID { OpenId = 30, AddId, ItemId, CountId };
constexpr Member documentsMembers[] = {
    {L"Open", OpenId, DISPATCH_METHOD},
    {L"Add", AddId, DISPATCH_METHOD},
    {L"Item", ItemId, DISPATCH_METHOD},
    {L"Count", CountId, DISPATCH_PROPERTYGET},
};

class Documents final : public Object {
public:
    explicit Documents(std::shared_ptr<Server> server) : Object(documentsMembers, server) {}

    Document* active() {
        std::erase_if(open_, [](const ComPtr<Document>& d) { return d->closed; });
        return open_.empty() ? nullptr : open_.back().get();
    }

protected:
    HRESULT answer(DISPID id, WORD, const Arguments& args, VARIANT* result) override {
        active();
        switch (id) {
        case OpenId: {
            const std::wstring path = args.text(0);
            std::string bytes;
            if (path.empty() || !readFile(path, bytes)) return DISP_E_EXCEPTION;
            journal(L"Open " + path);
            return adopt(new Document(server_, DocumentData{decode(bytes), path}), result);
        }
        case AddId: return adopt(new Document(server_, DocumentData{}), result);
        case ItemId: {
            const LONG index = args.integer(0, 0);
            if (index < 1 || static_cast<std::size_t>(index) > open_.size()) return DISP_E_BADINDEX;
            return giveObject(result, open_[static_cast<std::size_t>(index - 1)].get());
        }
        case CountId: return giveInteger(result, static_cast<LONG>(open_.size()));
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    HRESULT adopt(Document* document, VARIANT* result) {
        open_.emplace_back(document);
        return giveObject(result, document);
    }
    std::vector<ComPtr<Document>> open_;
};

enum : DISPID {
    DocumentsId = 40,
    ActiveDocumentId,
    VisibleId,
    DisplayAlertsId,
    ScreenUpdatingId,
    BackgroundPrintingStatusId,
    PrintOutId,
    QuitId,
};
constexpr Member applicationMembers[] = {
    {L"Documents", DocumentsId, DISPATCH_PROPERTYGET},
    {L"ActiveDocument", ActiveDocumentId, DISPATCH_PROPERTYGET},
    {L"Visible", VisibleId, DISPATCH_PROPERTYGET},
    {L"Visible", VisibleId, DISPATCH_PROPERTYPUT},
    {L"DisplayAlerts", DisplayAlertsId, DISPATCH_PROPERTYGET},
    {L"DisplayAlerts", DisplayAlertsId, DISPATCH_PROPERTYPUT},
    {L"ScreenUpdating", ScreenUpdatingId, DISPATCH_PROPERTYGET},
    {L"ScreenUpdating", ScreenUpdatingId, DISPATCH_PROPERTYPUT},
    {L"BackgroundPrintingStatus", BackgroundPrintingStatusId, DISPATCH_PROPERTYGET},
    {L"PrintOut", PrintOutId, DISPATCH_METHOD},
    {L"Quit", QuitId, DISPATCH_METHOD},
};

class Application final : public Object {
public:
    Application() : Object(applicationMembers, std::make_shared<Server>()), documents_(new Documents(server_)) {
        server_->busyCalls = std::wcstol(environment(L"FAKEWORD_BUSY_CALLS").c_str(), nullptr, 10);
    }

protected:
    HRESULT answer(DISPID id, WORD kind, const Arguments& args, VARIANT* result) override {
        const bool put = kind == DISPATCH_PROPERTYPUT;
        switch (id) {
        case DocumentsId: return giveObject(result, documents_.get());
        case ActiveDocumentId: {
            Document* active = documents_->active();
            // Word raises an error when no document is open.
            return active ? giveObject(result, active) : DISP_E_EXCEPTION;
        }
        case VisibleId: return property(visible_, put, args, result);
        case DisplayAlertsId: return put ? (displayAlerts_ = args.integer(0), S_OK) : giveInteger(result, displayAlerts_);
        case ScreenUpdatingId: return property(screenUpdating_, put, args, result);
        case BackgroundPrintingStatusId: return giveInteger(result, 0);
        case PrintOutId: {
            Document* active = documents_->active();
            if (!active) return DISP_E_EXCEPTION;
            print(active->data());
            return S_OK;
        }
        case QuitId:
            journal(L"Quit");
            server_->quit = true;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    static HRESULT property(bool& value, bool put, const Arguments& args, VARIANT* result) {
        if (!put) return giveBoolean(result, value);
        value = args.boolean(args.count() - 1);
        return S_OK;
    }
    ComPtr<Documents> documents_;
    bool visible_ = false;
    bool screenUpdating_ = true;
    LONG displayAlerts_ = -1;
};

// ---- the server's entry points ----

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is a static object that never goes away.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        ComPtr<Application> application(new Application());
        return application->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory factory;

std::wstring classKey() {
    wchar_t text[64];
    StringFromGUID2(fakeWordClass, text, 64);
    return std::wstring(L"CLSID\\") + text;
}

bool setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
    return TRUE;
}

HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (classId != fakeWordClass) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }

HRESULT __stdcall DllRegisterServer() {
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(thisModule, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return SELFREG_E_CLASS;
    const std::wstring key = classKey();
    wchar_t text[64];
    StringFromGUID2(fakeWordClass, text, 64);
    const bool ok = setValue(programId, nullptr, L"Fake Word application") &&
                    setValue(std::wstring(programId) + L"\\CLSID", nullptr, text) &&
                    setValue(key, nullptr, L"Fake Word application") &&
                    setValue(key + L"\\ProgID", nullptr, programId) &&
                    setValue(key + L"\\InprocServer32", nullptr, module) &&
                    setValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    return ok ? S_OK : SELFREG_E_CLASS;
}

HRESULT __stdcall DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, programId);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, classKey().c_str());
    RegDeleteKeyW(HKEY_CLASSES_ROOT, programId);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, classKey().c_str());
    return S_OK;
}

}  // extern "C"
