// Fills a 50-page template with 200 keys through the LibreOffice engine (as a
// document run does, without its fixed wait) and through a minimal direct UNO
// client that makes the same replaceAll loop, and prints both times.
//   uno_bench [rounds]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XReplaceable.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <rtl/bootstrap.hxx>

#include "rulecore/word/uno/office_process.h"
#include "rulecore/word/uno/uno_engine.h"
#include "rulecore/word/word_session.h"

namespace {

namespace css = ::com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using Clock = std::chrono::steady_clock;

constexpr int keyCount = 200;
constexpr int lateCount = 10;
constexpr int paragraphCount = 2200;  // about 50 pages of 60-character lines

std::string keyName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "##K%03d##", i);
    return name;
}
std::string keyValue(int i) { return "value-" + std::to_string(i) + "-filled"; }
std::string lateTarget(int i) { return "value-" + std::to_string(i * 7) + "-"; }
std::string lateText(int i) { return "late-" + std::to_string(i * 7) + "-"; }

// Every key twice, spread over the pages between lines of filler.
std::string templateXml() {
    std::string body;
    for (int p = 0; p < paragraphCount; ++p) {
        body.append("<text:p>Line ").append(std::to_string(p)).append(" of the contract text, long enough to fill a line");
        const int step = paragraphCount / (2 * keyCount);
        if (p % step == 0) body.append(" ").append(keyName((p / step) % keyCount + 1));
        body.append(".</text:p>");
    }
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2"
 office:mimetype="application/vnd.oasis.opendocument.text"><office:body><office:text>)" +
           body + "</office:text></office:body></office:document>\n";
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Timing {
    double toFirstReplacement = 0;  // from nothing running to the first replacement done
    double replacing = 0;           // the three replace passes
    double total = 0;
};

Timing runEngine(const std::string& templatePath, const std::string& output) {
    Timing t;
    const auto start = Clock::now();
    auto dispatcher = rulecore::word::uno::makeEngineDispatcher();
    {
        rulecore::word::WordSession session(*dispatcher);
        session.startWord();
        session.openDocument(templatePath);
        const auto passes = Clock::now();
        for (int i = 1; i <= keyCount; ++i) {
            session.replaceText(keyName(i), keyValue(i), 0, false);
            if (i == 1) t.toFirstReplacement = millisecondsSince(start);
        }
        for (int i = 1; i <= lateCount; ++i) session.replaceText(lateTarget(i), lateText(i), 0, false);
        for (int i = 1; i <= keyCount; ++i) session.replaceText(keyName(i), keyValue(i), 0, false);
        t.replacing = millisecondsSince(passes);
        session.saveAs(output);
        session.quitWord();
    }
    t.total = millisecondsSince(start);
    return t;
}

rtl::OUString office(const std::string& text) { return rtl::OUString::createFromAscii(text.c_str()); }

css::beans::PropertyValue property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// What a hand-written client does: start the office, load, replaceAll per pair.
Timing runDirect(const std::string& templatePath, const std::string& output) {
    Timing t;
    const auto start = Clock::now();
    rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" RULECORE_LO_PROGRAM_DIR "/fundamentalrc");
    Reference<css::uno::XComponentContext> local = cppu::defaultBootstrap_InitialComponentContext();
    const std::string profile = rulecore::word::uno::makeProfileDirectory();
    const std::string pipe = "rulecore_bench_" + std::to_string(getpid());
    rulecore::word::uno::OfficeProcess process;
    process.start("soffice", {"-env:UserInstallation=file://" + profile, "--headless", "--invisible", "--norestore",
                              "--nologo", "--nodefault", "--nofirststartwizard", "--accept=pipe,name=" + pipe + ";urp;"});
    Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(local);
    Reference<css::uno::XComponentContext> context;
    while (!context.is()) {
        try {
            context.set(resolver->resolve(office("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext")), UNO_QUERY);
        } catch (const css::connection::NoConnectException&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(context);
    css::beans::PropertyValue hidden = property("Hidden", css::uno::Any(true));
    Reference<css::util::XReplaceable> document(
        desktop->loadComponentFromURL(office("file://" + templatePath), "_blank", 0, {&hidden, 1}), UNO_QUERY);
    Reference<css::util::XReplaceDescriptor> replace = document->createReplaceDescriptor();
    auto pass = [&](const std::string& from, const std::string& to) {
        replace->setSearchString(office(from));
        replace->setReplaceString(office(to));
        document->replaceAll(Reference<css::util::XSearchDescriptor>(replace.get()));
    };
    const auto passes = Clock::now();
    for (int i = 1; i <= keyCount; ++i) {
        pass(keyName(i), keyValue(i));
        if (i == 1) t.toFirstReplacement = millisecondsSince(start);
    }
    for (int i = 1; i <= lateCount; ++i) pass(lateTarget(i), lateText(i));
    for (int i = 1; i <= keyCount; ++i) pass(keyName(i), keyValue(i));
    t.replacing = millisecondsSince(passes);
    Reference<css::frame::XStorable> storable(document, UNO_QUERY);
    const css::beans::PropertyValue store[] = {property("FilterName", css::uno::Any(office("MS Word 97"))),
                                               property("Overwrite", css::uno::Any(true))};
    storable->storeAsURL(office("file://" + output), {store, 2});
    try {
        desktop->terminate();
    } catch (const css::uno::Exception&) {
    }
    process.waitGone(std::chrono::seconds(30));
    rulecore::word::uno::removeDirectory(profile);
    t.total = millisecondsSince(start);
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char pattern[] = "/tmp/rulecore-uno-bench-XXXXXX";
    if (!mkdtemp(pattern)) return 1;
    const std::string dir = pattern;
    std::ofstream(dir + "/template.fodt") << templateXml();
    const std::string convert = "soffice -env:UserInstallation=file://" + dir +
                                "/profile --headless --convert-to doc --outdir " + dir + " " + dir +
                                "/template.fodt >/dev/null 2>&1";
    if (std::system(convert.c_str()) != 0) return 1;
    const std::string templatePath = dir + "/template.doc";

    std::vector<Timing> engine, direct;
    for (int r = 0; r < rounds; ++r) {
        // Alternate, so a busy moment of the shared machine hits both alike.
        const std::string round = std::to_string(r);
        engine.push_back(runEngine(templatePath, dir + "/engine" + round + ".doc"));
        try {
            direct.push_back(runDirect(templatePath, dir + "/direct" + round + ".doc"));
        } catch (const css::uno::Exception& error) {
            std::fprintf(stderr, "direct client failed: %s\n",
                         rtl::OUStringToOString(error.Message, RTL_TEXTENCODING_UTF8).getStr());
            return 1;
        }
    }
    auto best = [](const std::vector<Timing>& runs, double Timing::*field) {
        double value = runs.front().*field;
        for (const Timing& t : runs) value = std::min(value, t.*field);
        return value;
    };
    std::printf("%d keys twice, %d late pairs, %d paragraphs; best of %d rounds (ms)\n", keyCount, lateCount,
                paragraphCount, rounds);
    std::printf("%-10s %22s %14s %10s\n", "", "start to 1st replace", "replace passes", "total");
    std::printf("%-10s %22.0f %14.0f %10.0f\n", "engine", best(engine, &Timing::toFirstReplacement),
                best(engine, &Timing::replacing), best(engine, &Timing::total));
    std::printf("%-10s %22.0f %14.0f %10.0f\n", "direct", best(direct, &Timing::toFirstReplacement),
                best(direct, &Timing::replacing), best(direct, &Timing::total));
    const double overhead = best(engine, &Timing::replacing) / best(direct, &Timing::replacing) - 1.0;
    std::printf("engine overhead on the replace passes: %+.1f%% (target at most +10%%)\n", overhead * 100.0);
    std::filesystem::remove_all(dir);
    return 0;
}
