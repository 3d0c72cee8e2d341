// Standard alerts: made from a parameter record, run modally by the view.
#include "platform/toolbox/StandardAlerts.h"

#include <algorithm>

#include "platform/toolbox/ToolboxModel.h"

using toolbox::TheState;

namespace {

// A button is shown when it has text; kAlertDefault...Text asks for its standard label.
std::optional<std::string> ButtonLabel(CFStringRef text, const char* standard) {
    if (text == nullptr)
        return std::nullopt;
    if (text == kAlertDefaultOKText)
        return std::string(standard);
    return toolbox::TextFromCFString(text);
}

bool HasButton(const toolbox::AlertInfo& alert, DialogItemIndex item) {
    return std::any_of(alert.buttons.begin(), alert.buttons.end(),
                       [item](const toolbox::AlertButton& b) { return b.item == item; });
}

} // namespace

OSStatus GetStandardAlertDefaultParams(AlertStdCFStringAlertParamRec* param, UInt32 version) {
    if (param == nullptr || version != kStdCFStringAlertVersionOne)
        return paramErr;
    *param = AlertStdCFStringAlertParamRec{};
    param->version = version;
    param->movable = false;
    param->helpButton = false;
    param->defaultText = kAlertDefaultOKText;
    param->cancelText = nullptr;
    param->otherText = nullptr;
    param->defaultButton = kAlertStdAlertOKButton;
    param->cancelButton = 0;
    param->position = kWindowDefaultPosition;
    param->flags = 0;
    return noErr;
}

OSStatus CreateStandardAlert(AlertType alertType, CFStringRef error, CFStringRef explanation,
                             const AlertStdCFStringAlertParamRec* param, DialogRef* outAlert) {
    if (outAlert == nullptr)
        return paramErr;
    *outAlert = nullptr;
    AlertStdCFStringAlertParamRec defaults;
    GetStandardAlertDefaultParams(&defaults, kStdCFStringAlertVersionOne);
    if (param == nullptr)
        param = &defaults;
    if (error == nullptr || param->version != kStdCFStringAlertVersionOne)
        return paramErr;

    toolbox::AlertInfo alert;
    alert.type = alertType;
    alert.message = toolbox::TextFromCFString(error);
    if (explanation != nullptr)
        alert.secondary = toolbox::TextFromCFString(explanation);
    // Laid out left to right: help, other, cancel, OK. The OK-position
    // button is always there.
    if (param->helpButton)
        alert.buttons.push_back({kAlertStdAlertHelpButton, "Help"});
    if (auto other = ButtonLabel(param->otherText, "Don't Save"))
        alert.buttons.push_back({kAlertStdAlertOtherButton, *other});
    if (auto cancel = ButtonLabel(param->cancelText, "Cancel"))
        alert.buttons.push_back({kAlertStdAlertCancelButton, *cancel});
    alert.buttons.push_back(
        {kAlertStdAlertOKButton, ButtonLabel(param->defaultText, "OK").value_or("OK")});
    alert.defaultButton = param->defaultButton;
    alert.cancelButton = param->cancelButton;
    if (!HasButton(alert, alert.defaultButton) ||
        (alert.cancelButton != 0 && !HasButton(alert, alert.cancelButton)))
        return paramErr;

    auto dialog = std::make_unique<OpaqueDialogPtr>();
    dialog->alert = std::move(alert);
    dialog->window.target.parent = &TheState().application;
    dialog->window.target.window = &dialog->window;
    *outAlert = dialog.get();
    TheState().alerts.push_back(std::move(dialog));
    return noErr;
}

OSStatus RunStandardAlert(DialogRef alert, ModalFilterUPP, DialogItemIndex* outItemHit) {
    auto& alerts = TheState().alerts;
    auto found = std::find_if(alerts.begin(), alerts.end(),
                              [alert](const auto& a) { return a.get() == alert; });
    if (found == alerts.end())
        return paramErr;
    // Taken out of the list first: the alert is disposed of whatever happens.
    std::unique_ptr<OpaqueDialogPtr> dialog = std::move(*found);
    alerts.erase(found);

    toolbox::AlertInfo shown = dialog->alert;
    shown.title = dialog->window.title;
    DialogItemIndex item = shown.defaultButton;
    if (toolbox::View* view = TheState().view.get()) {
        DialogItemIndex pressed = view->RunAlert(toolbox::ViewModel(), shown);
        if (HasButton(shown, pressed))
            item = pressed;
    }
    if (outItemHit != nullptr)
        *outItemHit = item;
    return noErr;
}
