#include <algorithm>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/task/XInteractionRequest.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <rtl/bootstrap.hxx>

#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

// The client side of UNO, made once per process from the office's own type and
// service libraries.
Reference<css::uno::XComponentContext> localContext() {
    static const Reference<css::uno::XComponentContext> context = [] {
        rtl::Bootstrap::set("URE_BOOTSTRAP", "vnd.sun.star.pathname:" RULECORE_LO_PROGRAM_DIR "/fundamentalrc");
        try {
            return cppu::defaultBootstrap_InitialComponentContext();
        } catch (const css::uno::Exception&) {
            return Reference<css::uno::XComponentContext>();
        }
    }();
    return context;
}

// Answers every question the office asks while loading (lock, repair, password,
// filter choice) with "abort", so nothing can wait for a person.
class RefuseEverything final : public cppu::WeakImplHelper1<css::task::XInteractionHandler> {
public:
    void SAL_CALL handle(const Reference<css::task::XInteractionRequest>& request) override {
        if (!request.is()) return;
        for (const Reference<css::task::XInteractionContinuation>& choice : request->getContinuations()) {
            Reference<css::task::XInteractionAbort> abort(choice, UNO_QUERY);
            if (abort.is()) {
                abort->select();
                return;
            }
        }
    }
};

css::beans::PropertyValue property(const char* name, const css::uno::Any& value) {
    css::beans::PropertyValue p;
    p.Name = OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

std::string pipeName() {
    static std::atomic<unsigned> counter{0};
    return "rulecore_office_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

}  // namespace

Office::Office(EngineOptions options) : options_(std::move(options)) {}

Office::~Office() {
    kill();
    {
        std::lock_guard lock(watchMutex_);
        watchStop_ = true;
    }
    watchWake_.notify_all();
    if (watcher_.joinable()) watcher_.join();
    removeDirectory(profile_);
}

bool Office::start() {
    if (!localContext().is()) return false;
    profile_ = makeProfileDirectory();
    if (profile_.empty()) return false;
    const std::string pipe = pipeName();
    const std::vector<std::string> arguments{"-env:UserInstallation=file://" + profile_,
                                             "--headless",
                                             "--invisible",
                                             "--norestore",
                                             "--nologo",
                                             "--nodefault",
                                             "--nofirststartwizard",
                                             "--nolockcheck",
                                             "--accept=pipe,name=" + pipe + ";urp;"};
    if (!process_.start(options_.officeProgram, arguments, profile_)) return false;

    const OUString url = OUString::createFromAscii(("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext").c_str());
    const auto until = std::chrono::steady_clock::now() + options_.startDeadline;
    try {
        Reference<css::bridge::XUnoUrlResolver> resolver = css::bridge::UnoUrlResolver::create(localContext());
        while (!context_.is()) {
            try {
                context_.set(resolver->resolve(url), UNO_QUERY);
            } catch (const css::connection::NoConnectException&) {
                if (!process_.running() || std::chrono::steady_clock::now() >= until) break;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
        if (context_.is()) desktop_ = css::frame::Desktop::create(context_);
    } catch (const css::uno::Exception&) {
        context_.clear();
    }
    if (!desktop_.is()) {
        process_.kill();
        return false;
    }
    alive_ = true;
    watcher_ = std::thread([this] { watch(); });
    return true;
}

void Office::watch() {
    std::unique_lock lock(watchMutex_);
    while (!watchStop_) {
        if (!armed_) {
            watchWake_.wait(lock);
            continue;
        }
        if (watchWake_.wait_until(lock, deadline_) == std::cv_status::timeout && armed_ &&
            std::chrono::steady_clock::now() >= deadline_) {
            // A call hangs: end the office so the call returns, and keep it ended.
            timedOut_ = true;
            alive_ = false;
            armed_ = false;
            process_.kill();
        }
    }
}

Office::CallScope::CallScope(Office& office) : office_(office) {
    {
        std::lock_guard lock(office_.watchMutex_);
        office_.armed_ = true;
        office_.deadline_ = std::chrono::steady_clock::now() + office_.options_.callBound;
    }
    office_.watchWake_.notify_all();
}

Office::CallScope::~CallScope() {
    std::lock_guard lock(office_.watchMutex_);
    office_.armed_ = false;
}

Reference<css::text::XTextDocument> Office::activeDocument() const {
    if (documents.empty()) refuse();
    for (const auto& document : documents) {
        if (document.get() == active_.get()) return document;
    }
    return documents.back();
}

void Office::activate(const Reference<css::text::XTextDocument>& document) {
    if (std::find(documents.begin(), documents.end(), document) == documents.end()) refuse();
    active_ = document;
}

void Office::forget(const Reference<css::text::XTextDocument>& document) {
    documents.erase(std::remove(documents.begin(), documents.end(), document), documents.end());
    if (active_.get() == document.get()) active_ = documents.empty() ? Reference<css::text::XTextDocument>() : documents.back();
    searchCaches.erase(std::remove_if(searchCaches.begin(), searchCaches.end(),
                                      [&](const SearchCache& c) { return c.document == document; }),
                       searchCaches.end());
}

Office::SearchCache& Office::searchCache(const Reference<css::text::XTextDocument>& document) {
    for (SearchCache& cache : searchCaches) {
        if (cache.document.get() == document.get()) return cache;
    }
    searchCaches.push_back({});
    searchCaches.back().document = document;
    return searchCaches.back();
}

Reference<css::text::XTextDocument> Office::load(const OUString& url, bool asTemplate) {
    const Reference<css::task::XInteractionHandler> handler(new RefuseEverything);
    const auto arguments = sequenceOf<css::beans::PropertyValue>({
        property("Hidden", css::uno::Any(true)),
        property("InteractionHandler", css::uno::Any(handler)),
        property("MacroExecutionMode", css::uno::Any(sal_Int16(0))),
        property("UpdateDocMode", css::uno::Any(sal_Int16(0))),
        property("AsTemplate", css::uno::Any(asTemplate)),
        property("Silent", css::uno::Any(true))});
    Reference<css::text::XTextDocument> document(desktop_->loadComponentFromURL(url, "_blank", 0, arguments),
                                                 UNO_QUERY);
    if (!document.is()) refuse();
    documents.push_back(document);
    active_ = document;
    return document;
}

void Office::quit() {
    if (!alive_) refuse();
    for (auto it = documents.rbegin(); it != documents.rend(); ++it) {
        try {
            Reference<css::util::XCloseable> closeable(*it, UNO_QUERY);
            if (closeable.is()) closeable->close(true);
        } catch (const css::uno::Exception&) {
        }
    }
    documents.clear();
    active_.clear();
    searchCaches.clear();
    try {
        desktop_->terminate();
    } catch (const css::uno::Exception&) {
        // The connection ends with the office; that is the normal way out.
    }
    alive_ = false;
    if (!process_.waitGone(std::chrono::milliseconds(30000))) process_.kill();
}

void Office::kill() {
    alive_ = false;
    documents.clear();
    active_.clear();
    searchCaches.clear();
    process_.kill();
}

}  // namespace rulecore::word::uno
