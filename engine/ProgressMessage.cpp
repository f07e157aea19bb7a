#include "engine/ProgressMessage.h"

#include <rapidjson/document.h>

#include "engine/InstallMessages.h"

namespace tessel {
namespace {

enum class Style : int {
    SetRange = 0,
    Release = 1,
    Error = 2,
    Finish = 3,
    DriverLine = 4,
    Waiting = 5
};

ProgressAction Ignore() {
    return {};
}

ProgressAction Make(ProgressAction::Kind kind, uint32_t message, intptr_t wParam = 0) {
    ProgressAction action;
    action.kind = kind;
    action.message = message;
    action.wParam = wParam;
    return action;
}

}  // namespace

ProgressAction InterpretProgressMessage(std::string_view text) {
    rapidjson::Document document;
    // Iterative parsing: a deeply nested text cannot exhaust the monitor thread's stack.
    document.Parse<rapidjson::kParseIterativeFlag>(text.data(), text.size());
    if (document.HasParseError()) {
        return Make(ProgressAction::Kind::StopMonitor, 0);
    }
    if (!document.IsObject()) {
        return Ignore();
    }
    const auto name = document.FindMember("Name");
    if (name == document.MemberEnd()) {
        return Ignore();
    }
    if (!name->value.IsString()) {
        return Ignore();
    }
    if (std::string_view(name->value.GetString(), name->value.GetStringLength()) !=
        kProgressSenderName) {
        return Make(ProgressAction::Kind::StopMonitor, 0);
    }
    const auto style = document.FindMember("Style");
    if (style == document.MemberEnd() || !style->value.IsInt()) {
        return Ignore();
    }

    const auto param = document.FindMember("Param");
    const bool hasIntParam = param != document.MemberEnd() && param->value.IsInt();
    const intptr_t paramValue = hasIntParam ? param->value.GetInt() : 0;

    switch (static_cast<Style>(style->value.GetInt())) {
        case Style::SetRange:
            return hasIntParam ? Make(ProgressAction::Kind::Send, WM_INSTALL_SETRANGE, paramValue)
                               : Ignore();
        case Style::Release:
            return hasIntParam ? Make(ProgressAction::Kind::Post, WM_INSTALL_RELEASE, paramValue)
                               : Ignore();
        case Style::Error:
            return hasIntParam ? Make(ProgressAction::Kind::Post, WM_INSTALL_ERROR, paramValue)
                               : Ignore();
        case Style::Finish:
            return hasIntParam ? Make(ProgressAction::Kind::Post, WM_INSTALL_FINISH) : Ignore();
        case Style::DriverLine: {
            const auto line = document.FindMember("sParam");
            if (line == document.MemberEnd() || !line->value.IsString()) {
                return Ignore();
            }
            auto action = Make(ProgressAction::Kind::PostDriverLine, WM_INSTALL_DRIVER);
            action.driverLine = line->value.GetString();  // up to the first zero byte
            return action;
        }
        case Style::Waiting:
            return Make(ProgressAction::Kind::Post, WM_INSTALL_WAITING);
    }
    return Ignore();
}

}  // namespace tessel
