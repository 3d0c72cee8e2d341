// The one toolbox state, and the helpers every part of the model shares.
#include "platform/toolbox/ToolboxModel.h"

#include "platform/corefoundation/CFHelpers.h"

namespace toolbox {

State& TheState() {
    static State state;
    return state;
}

void ResetToolbox() {
    State& state = TheState();
    state.view.reset();
    state = State{};
}

void NotifyChanged() {
    State& state = TheState();
    if (state.view)
        state.view->Changed(ViewModel());
}

void SetToolboxView(std::unique_ptr<View> view) {
    TheState().view = std::move(view);
}

std::string TextFromApplicationBytes(std::string_view bytes) {
    cf::Owned<CFStringRef> string(CFStringCreateWithBytes(
        kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes.data()),
        static_cast<CFIndex>(bytes.size()), GetApplicationTextEncoding(), false));
    if (string)
        return cf::ToUTF8(string.get());
    // Bytes the encoding cannot read: keep the ASCII, mark the rest.
    std::string text;
    for (char c : bytes)
        text += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    return text;
}

std::string TextFromCFString(CFStringRef string) {
    return cf::ToUTF8(string);
}

IconHandleBlock* FindIconHandle(Handle handle) {
    if (handle == nullptr)
        return nullptr;
    for (auto& block : TheState().iconHandles) {
        if (&block->master == handle)
            return block.get();
    }
    return nullptr;
}

bool IsKnownIcon(IconRef icon) {
    for (const auto& known : TheState().icons) {
        if (known.get() == icon)
            return true;
    }
    return false;
}

} // namespace toolbox
