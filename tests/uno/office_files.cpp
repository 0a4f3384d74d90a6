#include "tests/uno/office_files.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rulecore::uno_test {

TempDirectory::TempDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rulecore-uno-test-XXXXXX").string();
    if (mkdtemp(pattern.data())) path_ = pattern;
}

TempDirectory::~TempDirectory() {
    std::error_code error;
    if (!path_.empty()) std::filesystem::remove_all(path_, error);
}

std::string flatDocument(const std::string& bodyXml, const std::string& header, const std::string& footer) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
<office:automatic-styles>
 <style:style style:name="Strong" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 <style:page-layout style:name="Page"/>
</office:automatic-styles>
<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="Page">
)" +
           (header.empty() ? std::string() : "<style:header><text:p>" + header + "</text:p></style:header>") +
           (footer.empty() ? std::string() : "<style:footer><text:p>" + footer + "</text:p></style:footer>") +
           R"(</style:master-page></office:master-styles>
<office:body><office:text>)" +
           bodyXml + R"(</office:text></office:body></office:document>
)";
}

namespace {

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

}  // namespace

std::string convert(const std::string& source, const std::string& format) {
    const std::filesystem::path in(source);
    TempDirectory profile;
    const std::string filter = format == "txt" ? "txt:Text (encoded):UTF8" : format;
    const std::string command = "soffice -env:UserInstallation=file://" + profile.path() +
                                " --headless --norestore --convert-to " + quoted(filter) + " --outdir " +
                                quoted(in.parent_path().string()) + " " + quoted(source) + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) return {};
    std::filesystem::path out = in;
    out.replace_extension(format);
    return std::filesystem::exists(out) ? out.string() : std::string();
}

std::string bodyText(const std::string& document) {
    // Converting beside the document would replace a .txt of the same name; the
    // copy keeps the original untouched.
    TempDirectory scratch;
    const std::string copy = scratch.file("readback" + std::filesystem::path(document).extension().string());
    std::filesystem::copy_file(document, copy);
    const std::string text = convert(copy, "txt");
    if (text.empty()) return {};
    std::string bytes = readFile(text);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    return bytes;
}

std::string flatXml(const std::string& document) {
    TempDirectory scratch;
    const std::string copy = scratch.file("readback" + std::filesystem::path(document).extension().string());
    std::filesystem::copy_file(document, copy);
    const std::string flat = convert(copy, "fodt");
    return flat.empty() ? std::string() : readFile(flat);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::vector<int> processesMentioning(const std::string& marker) {
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (!proc) return found;
    while (dirent* entry = readdir(proc)) {
        const int pid = std::atoi(entry->d_name);
        if (pid <= 0) continue;
        std::string commandLine = readFile("/proc/" + std::string(entry->d_name) + "/cmdline");
        if (commandLine.find(marker) == std::string::npos) continue;
        // A zombie has an empty command line, so any match is a live process.
        found.push_back(pid);
    }
    closedir(proc);
    return found;
}

std::string officeMarkerFor(int pid) { return "rulecore-office-" + std::to_string(pid) + "-"; }

}  // namespace rulecore::uno_test
