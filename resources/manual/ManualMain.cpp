// tavola-manual: lays out the user manual's text into a PDF with cairo, with the panel's
// picture (as the editor draws it) on the first page.
//
//   tavola-manual MANUAL.txt PANEL.png OUTPUT.pdf
//
// The text's lines: "# " a section, "## " a heading, "- " a
// bullet, "[panel]" the picture, "%" a comment; other lines join into paragraphs, which
// blank lines end.

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr double kPageWidth = 595;  // A4, in points
constexpr double kPageHeight = 842;
constexpr double kMargin = 60;
constexpr double kTextWidth = kPageWidth - 2 * kMargin;
constexpr const char* kFont = "DejaVu Sans";
// The room a title needs below it so that it never ends a page alone: the title and three
// lines of text for a section, the heading and two lines for a heading.
constexpr double kKeepWithSection = 30 + 25 + 3 * 14;
constexpr double kKeepWithHeading = 25 + 2 * 14;

struct Block {
  enum Kind { kSection, kHeading, kParagraph, kBullet, kPanel } kind;
  std::string text;
};

std::vector<Block> parse(std::istream& in) {
  std::vector<Block> blocks;
  std::string paragraph;
  const auto flush = [&] {
    if (!paragraph.empty()) blocks.push_back({Block::kParagraph, paragraph});
    paragraph.clear();
  };
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '%') continue;
    if (line.empty()) {
      flush();
    } else if (line.rfind("# ", 0) == 0) {
      flush();
      blocks.push_back({Block::kSection, line.substr(2)});
    } else if (line.rfind("## ", 0) == 0) {
      flush();
      blocks.push_back({Block::kHeading, line.substr(3)});
    } else if (line.rfind("- ", 0) == 0) {
      flush();
      blocks.push_back({Block::kBullet, line.substr(2)});
    } else if (line == "[panel]") {
      flush();
      blocks.push_back({Block::kPanel, {}});
    } else {
      paragraph += (paragraph.empty() ? "" : " ") + line;
    }
  }
  flush();
  return blocks;
}

class Layout {
 public:
  Layout(cairo_t* cr, cairo_surface_t* panel) : cr_(cr), panel_(panel) {}

  // Sections follow each other on the page; one starts a new page only when its title and
  // first lines would not fit under the last.
  void section(const std::string& title, bool first) {
    if (!first) {
      y_ += 14;
      need(kKeepWithSection);
    }
    font(first ? 26 : 17, true);
    line(title, kMargin, first ? 30 : 24);
    y_ += first ? 0 : 6;
  }
  void heading(const std::string& title) {
    need(kKeepWithHeading);
    y_ += 8;
    font(11.5, true);
    line(title, kMargin, 17);
  }
  void paragraph(const std::string& text, double indent = 0, const char* mark = nullptr) {
    font(10, false);
    std::vector<std::string> lines = wrap(text, kTextWidth - indent);
    for (std::size_t i = 0; i < lines.size(); ++i) {
      need(14);
      if (i == 0 && mark) {
        cairo_move_to(cr_, kMargin + indent - 10, y_ + 10);
        cairo_show_text(cr_, mark);
      }
      line(lines[i], kMargin + indent, 14);
    }
    y_ += 6;
  }
  void panel() {
    const double width = cairo_image_surface_get_width(panel_);
    const double height = cairo_image_surface_get_height(panel_);
    const double scale = kTextWidth / width;
    need(height * scale + 12);
    cairo_save(cr_);
    cairo_translate(cr_, kMargin, y_);
    cairo_scale(cr_, scale, scale);
    cairo_set_source_surface(cr_, panel_, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_BEST);
    cairo_paint(cr_);
    cairo_restore(cr_);
    y_ += height * scale + 16;
  }
  void finish() { footer(); }

 private:
  void font(double size, bool bold) {
    cairo_select_font_face(cr_, kFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    cairo_set_source_rgb(cr_, 0.12, 0.12, 0.13);
  }
  void line(const std::string& text, double x, double advance) {
    cairo_move_to(cr_, x, y_ + advance * 0.75);
    cairo_show_text(cr_, text.c_str());
    y_ += advance;
  }
  std::vector<std::string> wrap(const std::string& text, double width) {
    std::vector<std::string> lines;
    std::string current;
    std::size_t start = 0;
    while (start < text.size()) {
      std::size_t end = text.find(' ', start);
      if (end == std::string::npos) end = text.size();
      const std::string word = text.substr(start, end - start);
      const std::string candidate = current.empty() ? word : current + " " + word;
      cairo_text_extents_t extents;
      cairo_text_extents(cr_, candidate.c_str(), &extents);
      if (extents.x_advance > width && !current.empty()) {
        lines.push_back(current);
        current = word;
      } else {
        current = candidate;
      }
      start = end + 1;
    }
    if (!current.empty()) lines.push_back(current);
    return lines;
  }
  void need(double height) {
    if (y_ + height > kPageHeight - kMargin) newPage();
  }
  void newPage() {
    footer();
    cairo_show_page(cr_);
    ++page_;
    y_ = kMargin;
  }
  void footer() {
    cairo_save(cr_);
    font(8, false);
    cairo_set_source_rgb(cr_, 0.45, 0.45, 0.45);
    const std::string text = "ZEB Tavola - user manual - page " + std::to_string(page_);
    cairo_move_to(cr_, kMargin, kPageHeight - kMargin / 2);
    cairo_show_text(cr_, text.c_str());
    cairo_restore(cr_);
  }

  cairo_t* cr_;
  cairo_surface_t* panel_;
  double y_ = kMargin;
  int page_ = 1;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tavola-manual MANUAL.txt PANEL.png OUTPUT.pdf\n");
    return 2;
  }
  std::ifstream source(argv[1]);
  if (!source) {
    std::fprintf(stderr, "tavola-manual: cannot read %s\n", argv[1]);
    return 1;
  }
  cairo_surface_t* panel = cairo_image_surface_create_from_png(argv[2]);
  if (cairo_surface_status(panel) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "tavola-manual: cannot read the picture %s\n", argv[2]);
    return 1;
  }
  // Written beside the target and renamed over it: a failed build leaves no half manual.
  const std::string partial = std::string(argv[3]) + ".partial";
  cairo_surface_t* pdf = cairo_pdf_surface_create(partial.c_str(), kPageWidth, kPageHeight);
  cairo_pdf_surface_set_metadata(pdf, CAIRO_PDF_METADATA_TITLE, "ZEB Tavola user manual");
  cairo_t* cr = cairo_create(pdf);
  Layout layout(cr, panel);
  bool first = true;
  for (const Block& block : parse(source)) {
    switch (block.kind) {
      case Block::kSection:
        layout.section(block.text, first);
        first = false;
        break;
      case Block::kHeading:
        layout.heading(block.text);
        break;
      case Block::kParagraph:
        layout.paragraph(block.text);
        break;
      case Block::kBullet:
        layout.paragraph(block.text, 14, "\xE2\x80\xA2");
        break;
      case Block::kPanel:
        layout.panel();
        break;
    }
  }
  layout.finish();
  cairo_destroy(cr);
  cairo_surface_finish(pdf);
  const bool written = cairo_surface_status(pdf) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf);
  cairo_surface_destroy(panel);
  std::error_code error;
  if (!written || (std::filesystem::rename(partial, argv[3], error), error)) {
    std::fprintf(stderr, "tavola-manual: cannot write %s\n", argv[3]);
    std::filesystem::remove(partial, error);
    return 1;
  }
  return 0;
}
