// Controls: lookup by ID, kind, value range, activation, and the data each
// kind keeps under its tags.
#include "platform/toolbox/Controls.h"

#include <algorithm>
#include <cstring>

#include "platform/toolbox/ToolboxModel.h"

namespace {

// Copies a fixed-size datum out, when the caller's buffer is exactly its size.
template <class T> OSErr GetFixed(const T& value, Size bufferSize, void* buffer, Size* outSize) {
    if (outSize != nullptr)
        *outSize = sizeof(T);
    if (buffer == nullptr)
        return noErr;
    if (bufferSize != static_cast<Size>(sizeof(T)))
        return errDataSizeMismatch;
    std::memcpy(buffer, &value, sizeof(T));
    return noErr;
}

bool IsIconPart(ControlPartCode part) {
    return part == kControlEntireControl || part == kControlIconPart;
}

} // namespace

OSStatus GetControlByID(WindowRef window, const ControlID* id, ControlRef* outControl) {
    if (outControl != nullptr)
        *outControl = nullptr;
    if (window == nullptr || id == nullptr || outControl == nullptr)
        return paramErr;
    for (auto& control : window->controls) {
        if (control->id.signature == id->signature && control->id.id == id->id) {
            *outControl = control.get();
            return noErr;
        }
    }
    return errUnknownControl;
}

OSStatus GetControlID(ControlRef control, ControlID* outID) {
    if (control == nullptr || outID == nullptr)
        return paramErr;
    *outID = control->id;
    return noErr;
}

OSStatus GetControlKind(ControlRef control, ControlKind* outKind) {
    if (control == nullptr || outKind == nullptr)
        return paramErr;
    *outKind = ControlKind{kControlKindSignatureApple, control->kind};
    return noErr;
}

WindowRef GetControlOwner(ControlRef control) {
    return control != nullptr ? control->owner : nullptr;
}

OSErr SetControlData(ControlRef control, ControlPartCode part, ResType tag, Size size,
                     const void* data) {
    if (control == nullptr || size < 0 || (size > 0 && data == nullptr))
        return paramErr;
    if (control->kind == kControlKindStaticText && tag == kControlStaticTextTextTag) {
        control->textData.assign(static_cast<const char*>(data), static_cast<size_t>(size));
    } else if (control->kind == kControlKindIcon && tag == kControlIconContentTag) {
        if (!IsIconPart(part))
            return errInvalidPartCode;
        if (size != static_cast<Size>(sizeof(ControlButtonContentInfo)))
            return errDataSizeMismatch;
        ControlButtonContentInfo content;
        std::memcpy(&content, data, sizeof content);
        if (content.contentType != kControlContentIconRef &&
            content.contentType != kControlContentTextOnly)
            return errDataNotSupported;
        // No icon (a null reference) is fine; an unknown reference is not.
        if (content.contentType == kControlContentIconRef && content.u.iconRef != nullptr &&
            !toolbox::IsKnownIcon(content.u.iconRef))
            return paramErr;
        control->content = content;
    } else if (control->kind == kControlKindPopupButton &&
               tag == kControlPopupButtonMenuHandleTag) {
        // The popup's menu belongs to it and cannot be exchanged.
        return errDataNotSupported;
    } else {
        return errDataNotSupported;
    }
    toolbox::NotifyChanged();
    return noErr;
}

OSErr GetControlData(ControlRef control, ControlPartCode part, ResType tag, Size bufferSize,
                     void* buffer, Size* outActualSize) {
    if (control == nullptr || bufferSize < 0)
        return paramErr;
    if (control->kind == kControlKindStaticText && tag == kControlStaticTextTextTag) {
        const std::string& text = control->textData;
        if (outActualSize != nullptr)
            *outActualSize = static_cast<Size>(text.size());
        if (buffer != nullptr)
            std::memcpy(buffer, text.data(),
                        std::min(text.size(), static_cast<size_t>(bufferSize)));
        return noErr;
    }
    if (control->kind == kControlKindIcon && tag == kControlIconContentTag) {
        if (!IsIconPart(part))
            return errInvalidPartCode;
        return GetFixed(control->content, bufferSize, buffer, outActualSize);
    }
    if (control->kind == kControlKindPopupButton && tag == kControlPopupButtonMenuHandleTag) {
        MenuRef menu = control->menu.get();
        return GetFixed(menu, bufferSize, buffer, outActualSize);
    }
    return errDataNotSupported;
}

SInt16 GetControlValue(ControlRef control) {
    return control != nullptr ? control->value : 0;
}

void SetControlValue(ControlRef control, SInt16 value) {
    if (control == nullptr)
        return;
    control->value =
        std::clamp(value, control->minimum, std::max(control->minimum, control->maximum));
    toolbox::NotifyChanged();
}

SInt16 GetControlMinimum(ControlRef control) {
    return control != nullptr ? control->minimum : 0;
}

void SetControlMinimum(ControlRef control, SInt16 minimum) {
    if (control == nullptr)
        return;
    control->minimum = minimum;
    control->maximum = std::max(control->maximum, minimum);
    SetControlValue(control, control->value);
}

SInt16 GetControlMaximum(ControlRef control) {
    return control != nullptr ? control->maximum : 0;
}

void SetControlMaximum(ControlRef control, SInt16 maximum) {
    if (control == nullptr)
        return;
    control->maximum = maximum;
    control->minimum = std::min(control->minimum, maximum);
    SetControlValue(control, control->value);
}

OSErr ActivateControl(ControlRef control) {
    if (control == nullptr)
        return paramErr;
    control->active = true;
    toolbox::NotifyChanged();
    return noErr;
}

OSErr DeactivateControl(ControlRef control) {
    if (control == nullptr)
        return paramErr;
    control->active = false;
    toolbox::NotifyChanged();
    return noErr;
}

Boolean IsControlActive(ControlRef control) {
    return control != nullptr && control->active;
}

void Draw1Control(ControlRef control) {
    if (control != nullptr)
        toolbox::NotifyChanged();
}
