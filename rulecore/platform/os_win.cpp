// Windows edges: ANSI (code page 936) file names and console bytes, as they are.
#include <windows.h>

#include <string>

#include "rulecore/platform/os.h"

namespace rulecore::os {
namespace {

std::wstring widen(std::string_view bytes, UINT codePage) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                            wide.data(), n);
    }
    return wide;
}

std::string narrow(const std::wstring& wide, UINT codePage) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) {
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            n, nullptr, nullptr);
    }
    return bytes;
}

// RAII owner of a file handle.
class FileHandle {
public:
    explicit FileHandle(HANDLE h) : handle_(h) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

void writeAll(HANDLE out, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
        if (!WriteFile(out, bytes.data(), chunk, &written, nullptr) || written == 0) return;
        bytes.remove_prefix(written);
    }
}

}  // namespace

char pathSeparator() { return '\\'; }

Text joinPath(const Text& directory, const Text& name) {
    return directory + pathSeparator() + name;
}

Text runDirectory() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return ".";
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    // Step by characters: a trail byte of 0x5C is no path separator.
    std::size_t lastSeparator = Text::npos;
    for (std::size_t i = 0; i < buffer.size(); i += charLength(buffer, i)) {
        if (buffer[i] == '\\' || buffer[i] == '/') lastSeparator = i;
    }
    if (lastSeparator == Text::npos) return ".";
    buffer.resize(lastSeparator);
    return buffer;
}

bool setWorkingDirectory(const Text& directory) {
    return SetCurrentDirectoryA(directory.c_str()) != 0;
}

bool fileExists(const Text& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Text readTextFile(const Text& path) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return {};
    Text text;
    char buffer[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) || got == 0) break;
        std::string_view chunk(buffer, got);
        if (std::size_t nul = chunk.find('\0'); nul != std::string_view::npos) {
            text.append(chunk.substr(0, nul));
            break;
        }
        text.append(chunk);
    }
    return text;
}

bool writeTextFile(const Text& path, std::string_view bytes) {
    FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) ||
            written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::string toUtf8(std::string_view cp936) { return narrow(widen(cp936, 936), CP_UTF8); }

Text fromUtf8(std::string_view utf8) { return narrow(widen(utf8, CP_UTF8), 936); }

void writeStdout(std::string_view bytes) { writeAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes); }

void writeStderr(std::string_view bytes) { writeAll(GetStdHandle(STD_ERROR_HANDLE), bytes); }

std::string toConsole(std::string_view cp936) { return std::string(cp936); }

void sleepMilliseconds(unsigned milliseconds) { Sleep(milliseconds); }

}  // namespace rulecore::os
