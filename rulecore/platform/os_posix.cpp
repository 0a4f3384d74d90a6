// Linux edges: UTF-8 file names and console, converted from and to code page 936.
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <thread>

#include "rulecore/platform/os.h"

namespace rulecore::os {
namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts input; a sequence that does not convert becomes replacement and
    // skipLength input bytes are passed over.
    std::string convert(std::string_view input, std::string_view replacement,
                        std::size_t skipLength) const {
        std::string out;
        if (handle_ == reinterpret_cast<iconv_t>(-1)) return out;
        out.reserve(input.size() * 3 / 2 + 4);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[4096];
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            std::size_t rc = iconv(handle_, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                // EILSEQ or EINVAL: an invalid or cut-off sequence.
                out.append(replacement);
                std::size_t skip = skipLength < inLeft ? skipLength : inLeft;
                if (errno == EILSEQ && skipLength > 1 && inLeft >= 2 &&
                    static_cast<unsigned char>(*in) < 0x80) {
                    skip = 1;
                }
                in += skip;
                inLeft -= skip;
            }
        }
        return out;
    }

private:
    iconv_t handle_;
};

}  // namespace

char pathSeparator() { return '/'; }

Text joinPath(const Text& directory, const Text& name) {
    return directory + pathSeparator() + name;
}

Text runDirectory() {
    std::string buffer(PATH_MAX, '\0');
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0) return fromUtf8(".");
    buffer.resize(static_cast<std::size_t>(n));
    std::size_t slash = buffer.rfind('/');
    if (slash == std::string::npos) return fromUtf8(".");
    buffer.resize(slash == 0 ? 1 : slash);
    return fromUtf8(buffer);
}

bool setWorkingDirectory(const Text& directory) {
    return ::chdir(toUtf8(directory).c_str()) == 0;
}

bool fileExists(const Text& path) {
    struct stat st {};
    return stat(toUtf8(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Text readTextFile(const Text& path) {
    std::string native = toUtf8(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    std::ifstream file(native, std::ios::binary);
    if (!file) return {};
    Text text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (std::size_t nul = text.find('\0'); nul != Text::npos) text.resize(nul);
    return text;
}

bool writeTextFile(const Text& path, std::string_view bytes) {
    std::ofstream file(toUtf8(path), std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return static_cast<bool>(file);
}

std::string toUtf8(std::string_view cp936) {
    thread_local Converter converter("UTF-8", "CP936");
    // A lead byte with a bad trail byte loses only the lead byte.
    return converter.convert(cp936, "\xEF\xBF\xBD", 1);
}

Text fromUtf8(std::string_view utf8) {
    thread_local Converter converter("CP936", "UTF-8");
    return converter.convert(utf8, "?", 1);
}

namespace {
void writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}
}  // namespace

void writeStdout(std::string_view bytes) {
    std::fflush(stdout);
    writeAll(STDOUT_FILENO, bytes);
}

void writeStderr(std::string_view bytes) {
    std::fflush(stderr);
    writeAll(STDERR_FILENO, bytes);
}

std::string toConsole(std::string_view cp936) { return toUtf8(cp936); }

void sleepMilliseconds(unsigned milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace rulecore::os
