#include <array>
#include <exception>

#include <com/sun/star/uno/Exception.hpp>

#include "rulecore/word/platform_dispatcher.h"
#include "rulecore/word/uno/uno_model.h"

namespace rulecore::word::uno {

namespace {

// The order in which member kinds are tried for each access.
std::span<const MemberKind> kindsFor(Access access) {
    static constexpr std::array read{MemberKind::Get, MemberKind::Method};
    static constexpr std::array write{MemberKind::Put, MemberKind::Method};
    static constexpr std::array call{MemberKind::Method, MemberKind::Get, MemberKind::Put};
    switch (access) {
        case Access::Read: return read;
        case Access::Write: return write;
        case Access::Call: break;
    }
    return call;
}

// The result in the kind asked for; false when it cannot be converted.
bool convert(AutomationValue& value, ResultKind want) {
    switch (want) {
        case ResultKind::Nothing: value = AutomationValue::empty(); return true;
        case ResultKind::Value: return true;
        case ResultKind::Object: return value.kind == ValueKind::Object && !value.object.empty();
        case ResultKind::Text:
            if (value.kind == ValueKind::Text) return true;
            if (value.kind == ValueKind::Object || value.kind == ValueKind::Missing) return false;
            value = AutomationValue::fromText(fromOffice(textOf(value)));
            return true;
        case ResultKind::Number:
            if (value.kind == ValueKind::Double) return true;
            if (value.kind == ValueKind::Integer || value.kind == ValueKind::Boolean) {
                value = AutomationValue::fromDouble(static_cast<double>(integerOf(value)));
                return true;
            }
            if (value.kind == ValueKind::Empty) {
                value = AutomationValue::fromDouble(0.0);
                return true;
            }
            return false;
        case ResultKind::Boolean:
            if (value.kind == ValueKind::Boolean) return true;
            if (value.kind == ValueKind::Integer || value.kind == ValueKind::Double) {
                value = AutomationValue::fromBoolean(booleanOf(value));
                return true;
            }
            if (value.kind == ValueKind::Empty) {
                value = AutomationValue::fromBoolean(false);
                return true;
            }
            return false;
    }
    return false;
}

class EngineDispatcher final : public AutomationDispatcher {
public:
    explicit EngineDispatcher(EngineOptions options) : options_(std::move(options)) {}
    ~EngineDispatcher() override {
        // Whatever the run left running ends with the dispatcher.
        for (const OfficePtr& office : offices_) office->kill();
    }

    void beginThread() override {}
    void endThread() override {}

    AutomationObject createObject(std::string_view programId) override {
        if (!sameName(programId, "Word.Application")) return {};
        auto office = std::make_shared<Office>(options_);
        try {
            if (!office->start()) return {};
        } catch (...) {
            return {};
        }
        offices_.push_back(office);
        AutomationValue application = makeApplication(office);
        return std::move(application.object);
    }

    AutomationValue invoke(const AutomationObject& target, Access access, std::string_view member,
                           std::span<AutomationValue> arguments, ResultKind want) override {
        AutomationValue result;
        const bool succeeded = tryInvoke(target, access, member, arguments, want, result);
        recordCallOutcome(succeeded);
        return succeeded ? std::move(result) : emptyResult(want);
    }

private:
    static bool tryInvoke(const AutomationObject& target, Access access, std::string_view member,
                          std::span<AutomationValue> arguments, ResultKind want, AutomationValue& result) {
        auto* object = dynamic_cast<ModelObject*>(target.peer());
        if (!object || !object->office().alive()) return false;
        // Keep the object alive for the whole call, whatever the call releases.
        AutomationObject hold = target;
        try {
            Office::CallScope bounded(object->office());
            Args args(arguments);
            bool found = false;
            for (MemberKind kind : kindsFor(access)) {
                if (object->run(kind, member, args, result)) {
                    found = true;
                    break;
                }
            }
            if (!found) return false;
        } catch (const CallRefused&) {
            return false;
        } catch (const css::uno::Exception&) {
            return false;
        } catch (const std::exception&) {
            return false;
        }
        return convert(result, want);
    }

    EngineOptions options_;
    std::vector<OfficePtr> offices_;
};

}  // namespace

std::unique_ptr<AutomationDispatcher> makeEngineDispatcher(EngineOptions options) {
    return std::make_unique<EngineDispatcher>(std::move(options));
}

}  // namespace rulecore::word::uno

namespace rulecore::word {

std::unique_ptr<AutomationDispatcher> makePlatformDispatcher() { return uno::makeEngineDispatcher(); }

}  // namespace rulecore::word
