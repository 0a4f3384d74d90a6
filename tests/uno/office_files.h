#pragma once

#include <string>
#include <vector>

// Files for the engine's tests, made and read back by a separate office run from
// the command line, so the engine under test never checks its own work.
namespace rulecore::uno_test {

// A fresh directory, removed with the object.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A flat OpenDocument text: body paragraphs and tables as given (XML), with a
// header and a footer (none where the text is empty).
std::string flatDocument(const std::string& bodyXml, const std::string& header, const std::string& footer);

// Converts source into the format (an extension: "doc", "docx", "txt", "fodt")
// beside it, by a private office run; returns the new file's path or "".
std::string convert(const std::string& source, const std::string& format);

// The body text of a document as the office exports it (UTF-8, LF lines).
std::string bodyText(const std::string& document);
// The document as flat OpenDocument XML, headers and footers included.
std::string flatXml(const std::string& document);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// Processes whose command line names this marker (our offices name their pipe
// and profile after the process that started them).
std::vector<int> processesMentioning(const std::string& marker);
std::string officeMarkerFor(int pid);

}  // namespace rulecore::uno_test
