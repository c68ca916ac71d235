// tavola-panel-art: draws the panel's pictures and writes them as PNG film strips into a
// folder, and as a C++ source that embeds them in the plug-in.
//
//   tavola-panel-art [--scale N] FOLDER SOURCE.cpp

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "PanelArt.h"
#include "PanelLayout.h"
#include "StripArt.h"

namespace {

using namespace tavola::art;
using namespace tavola::panel;

struct Picture {
  int id;
  int width;
  int frameHeight;
  int frames;
  std::function<void(cairo_t*, int frame)> draw;
};

constexpr int width(Area area) {
  return area.right - area.left;
}
constexpr int height(Area area) {
  return area.bottom - area.top;
}

// The strip's keys are drawn at the size of their place, three frames each.
Picture stripKey(int id, Area area, StripIcon icon) {
  return Picture{id, width(area), height(area), 3, [=](cairo_t* cr, int frame) {
                   drawStripButton(cr, width(area), height(area), icon, frame);
                 }};
}

Picture stripLabelKey(int id, Area area, const char* label) {
  return Picture{id, width(area), height(area), 3, [=](cairo_t* cr, int frame) {
                   drawStripLabelButton(cr, width(area), height(area), label, frame);
                 }};
}

std::vector<Picture> pictures() {
  const auto knob = [](int id, int size, KnobCap cap, int frames) {
    return Picture{id, size, size, frames, [=](cairo_t* cr, int frame) {
                     drawKnob(cr, size, cap, static_cast<double>(frame) / (frames - 1));
                   }};
  };
  const auto button = [](int id, Glow glow) {
    return Picture{id, kButtonWidth, kButtonHeight, 2, [=](cairo_t* cr, int frame) {
                     drawButton(cr, kButtonWidth, kButtonHeight, glow, frame == 1);
                   }};
  };
  return {
      {kBackground, kWidth, kHeight, 1, [](cairo_t* cr, int) { drawBackground(cr); }},
      button(kEqAllButton, Glow::kGreen),
      button(kSatButton, Glow::kRed),
      {kClipLamp, kLampSize, kLampSize, 3,
       [](cairo_t* cr, int frame) { drawLamp(cr, kLampSize, frame); }},
      button(kHpfButton, Glow::kAmber),
      knob(kHpfFreqKnob, kSmallKnob, KnobCap::kGrey, 13),
      button(kLfButton, Glow::kAmber),
      knob(kLfFreqKnob, kSmallKnob, KnobCap::kGrey, 13),
      button(kMfButton, Glow::kAmber),
      knob(kMfFreqKnob, kSmallKnob, KnobCap::kGrey, 13),
      button(kHfButton, Glow::kAmber),
      knob(kHfGainKnob, kLargeKnob, KnobCap::kBlue, 25),
      knob(kOutputKnob, kLargeKnob, KnobCap::kBlack, 65),
      knob(kLfGainKnob, kLargeKnob, KnobCap::kRed, 25),
      knob(kMfGainKnob, kLargeKnob, KnobCap::kGreen, 25),
      knob(kHfFreqKnob, kSmallKnob, KnobCap::kGrey, 13),
      {kAboutPicture, kAboutWidth, kAboutHeight, 1,
       [](cairo_t* cr, int) { drawAbout(cr, kAboutWidth, kAboutHeight); }},
      stripKey(kLoadBankButton, kLoadBankArea, StripIcon::kLoad),
      stripKey(kSaveBankButton, kSaveBankArea, StripIcon::kSave),
      stripLabelKey(kDefaultBankButton, kDefaultBankArea, "BANK"),
      stripKey(kLoadPresetButton, kLoadPresetArea, StripIcon::kLoad),
      stripKey(kSavePresetButton, kSavePresetArea, StripIcon::kSave),
      stripLabelKey(kDefaultPresetButton, kDefaultPresetArea, "PRESET"),
      stripKey(kStoreAButton, kStoreAArea, StripIcon::kStore),
      stripKey(kRecallAButton, kRecallAArea, StripIcon::kRecall),
      stripKey(kStoreBButton, kStoreBArea, StripIcon::kStore),
      stripKey(kRecallBButton, kRecallBArea, StripIcon::kRecall),
      stripKey(kManualButton, kManualArea, StripIcon::kManual),
      {kPresetRocker, width(kPresetRockerArea), height(kPresetRockerArea), 5,
       [](cairo_t* cr, int frame) {
         drawRocker(cr, width(kPresetRockerArea), height(kPresetRockerArea), frame);
       }},
  };
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* bytes = static_cast<std::vector<unsigned char>*>(closure);
  bytes->insert(bytes->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

// The strip as PNG bytes, frames stacked from the top.
std::vector<unsigned char> render(const Picture& picture, int scale) {
  cairo_surface_t* surface = cairo_image_surface_create(
      CAIRO_FORMAT_ARGB32, picture.width * scale, picture.frameHeight * picture.frames * scale);
  cairo_t* cr = cairo_create(surface);
  cairo_scale(cr, scale, scale);
  for (int frame = 0; frame < picture.frames; ++frame) {
    cairo_save(cr);
    cairo_translate(cr, 0, frame * picture.frameHeight);
    cairo_rectangle(cr, 0, 0, picture.width, picture.frameHeight);
    cairo_clip(cr);
    picture.draw(cr, frame);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  std::vector<unsigned char> bytes;
  if (cairo_surface_write_to_png_stream(surface, appendBytes, &bytes) != CAIRO_STATUS_SUCCESS)
    bytes.clear();
  cairo_surface_destroy(surface);
  return bytes;
}

bool writeFile(const std::string& path, const void* data, std::size_t size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  int scale = 1;
  int arg = 1;
  if (arg + 1 < argc && std::strcmp(argv[arg], "--scale") == 0) {
    scale = std::atoi(argv[arg + 1]);
    arg += 2;
  }
  if (argc - arg != 2 || scale < 1 || scale > 4) {
    std::fprintf(stderr, "usage: tavola-panel-art [--scale 1..4] FOLDER SOURCE.cpp\n");
    return 2;
  }
  const std::string folder = argv[arg];
  std::string source =
      "// Drawn by tavola-panel-art; do not edit.\n#include "
      "\"resources/PanelImages.h\"\n\nnamespace {\n";
  std::string table;
  for (const Picture& picture : pictures()) {
    const std::vector<unsigned char> png = render(picture, scale);
    char name[16];
    std::snprintf(name, sizeof name, "bmp%05d", picture.id);
    if (png.empty() || !writeFile(folder + "/" + name + ".png", png.data(), png.size())) {
      std::fprintf(stderr, "tavola-panel-art: cannot write %s/%s.png\n", folder.c_str(), name);
      return 1;
    }
    source += "const unsigned char k" + std::string(name) + "[] = {";
    for (std::size_t i = 0; i < png.size(); ++i) {
      if (i % 24 == 0) source += "\n";
      source += std::to_string(png[i]) + ",";
    }
    source += "\n};\n";
    table += "      {\"" + std::string(name) + "\", k" + name + ", sizeof k" + name + "},\n";
  }
  source +=
      "\n}  // namespace\n\nnamespace tavola::panel {\n\n"
      "std::span<const VSTGUI::ImageResource> panelImages() {\n"
      "  static const VSTGUI::ImageResource table[] = {\n" +
      table + "  };\n  return table;\n}\n\n}  // namespace tavola::panel\n";
  if (!writeFile(argv[arg + 1], source.data(), source.size())) {
    std::fprintf(stderr, "tavola-panel-art: cannot write %s\n", argv[arg + 1]);
    return 1;
  }
  return 0;
}
