#include "tests/toolbox/ToolboxFixture.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/toolbox/Controls.h"
#include "platform/toolbox/Menus.h"
#include "platform/toolbox/Nibs.h"
#include "platform/toolbox/ToolboxModel.h"

extern "C" {
#include <icns.h>
}

void ToolboxTest::SetUp() {
    toolbox::ResetToolbox();
}

void ToolboxTest::TearDown() {
    toolbox::ResetToolbox();
}

IBNibRef ToolboxTest::LoadNib(const std::string& body) {
    std::string path = dir_.Write("test.nib", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                              "<plist version=\"1.0\"><dict>" +
                                                  body + "</dict></plist>\n");
    IBNibRef nib = nullptr;
    EXPECT_EQ(CreateNibReferenceFromFile(path.c_str(), &nib), noErr);
    return nib;
}

void ToolboxTest::LoadMainNib() {
    IBNibRef nib = nullptr;
    ASSERT_EQ(CreateNibReferenceFromFile(CAPEXT_MAIN_NIB, &nib), noErr);
    ASSERT_EQ(SetMenuBarFromNib(nib, CFSTR("MainMenu")), noErr);
    ASSERT_EQ(CreateWindowFromNib(nib, CFSTR("MainWindow"), &mainWindow_), noErr);
    ASSERT_EQ(CreateWindowFromNib(nib, CFSTR("AboutWindow"), &aboutWindow_), noErr);
    DisposeNibReference(nib);
}

FSRef MakeFSRef(const std::string& path) {
    FSRef ref{};
    std::snprintf(ref.path, sizeof ref.path, "%s", path.c_str());
    return ref;
}

ControlRef ControlOf(WindowRef window, OSType signature, SInt32 id) {
    ControlID controlID{signature, id};
    ControlRef control = nullptr;
    GetControlByID(window, &controlID, &control);
    return control;
}

void WriteIconFamily(const std::string& path) {
    icns_family_t* family = nullptr;
    ASSERT_EQ(icns_create_family(&family), ICNS_STATUS_OK);
    icns_image_t image{};
    ASSERT_EQ(icns_init_image_for_type(ICNS_16x16_32BIT_DATA, &image), ICNS_STATUS_OK);
    for (size_t i = 0; i < image.imageDataSize; ++i)
        image.imageData[i] = static_cast<icns_byte_t>(i % 4 == 3 ? 0xFF : i);
    icns_element_t* element = nullptr;
    ASSERT_EQ(icns_new_element_from_image(&image, ICNS_16x16_32BIT_DATA, &element), ICNS_STATUS_OK);
    ASSERT_EQ(icns_set_element_in_family(&family, element), ICNS_STATUS_OK);
    icns_size_t size = 0;
    icns_byte_t* data = nullptr;
    ASSERT_EQ(icns_export_family_data(family, &size, &data), ICNS_STATUS_OK);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
    std::free(data);
    std::free(element);
    std::free(family);
    icns_free_image(&image);
}

RecordingView& InstallRecordingView() {
    auto view = std::make_unique<RecordingView>();
    RecordingView& recording = *view;
    toolbox::SetToolboxView(std::move(view));
    return recording;
}
