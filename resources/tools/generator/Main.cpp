// Development-time tool: draws every picture, cursor and animation the
// manifest lists, synthesises the sounds, exports the glyph outlines for the
// font build and writes the Qt resource collection file.
// Usage: rw_resource_generator <Manifest.tsv> <output folder> <glyphs.json>
#include "Glyphs.h"
#include "Icons.h"
#include "Pictures.h"
#include "Sounds.h"

#include <cairo.h>
#include <turbojpeg.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Entry {
  std::string type, name, format, key, detail;
  int width = 0, height = 0;
};

std::vector<Entry> ReadManifest(const std::string& path) {
  std::ifstream in(path);
  std::vector<Entry> entries;
  std::string line;
  bool header = true;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> f;
    std::stringstream s(line);
    std::string cell;
    while (std::getline(s, cell, '\t')) f.push_back(cell);
    if (header) { header = false; continue; }
    if (f.size() < 7) continue;
    Entry e{f[0], f[1], f[2], f[5], f[6]};
    e.width = f[3] == "-" ? 0 : std::stoi(f[3]);
    e.height = f[4] == "-" ? 0 : std::stoi(f[4]);
    entries.push_back(e);
  }
  return entries;
}

int Frames(const Entry& e) {
  const auto at = e.detail.find("frames=");
  return at == std::string::npos ? 1 : std::stoi(e.detail.substr(at + 7));
}

// File names keep to safe characters; the resource alias keeps the real name.
std::string SafeName(const std::string& name) {
  std::string out;
  for (char c : name) {
    if (c == '&') out += "and";
    else if (c == '+') out += "plus";
    else out += c;
  }
  return out;
}

// Resource names keep letters, digits and "-._~/"; other characters are
// percent-encoded, the way the program's ResourcePath finds them.
std::string EncodedName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || c == '/') {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

bool WriteJpeg(cairo_surface_t* surface, const std::string& path, int quality) {
  cairo_surface_flush(surface);
  tjhandle tj = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  // 4:4:4 keeps flat colour areas exact, which the sampled skin colours need.
  const int rc = tjCompress2(tj, cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                             cairo_image_surface_get_stride(surface), cairo_image_surface_get_height(surface),
                             TJPF_BGRX, &jpeg, &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT);
  bool ok = rc == 0;
  if (ok) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(jpeg), static_cast<std::streamsize>(size));
  }
  tjFree(jpeg);
  tjDestroy(tj);
  return ok;
}

int JpegQuality(const std::string& name) { return name == "MPLAYER" ? 98 : 92; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: rw_resource_generator <Manifest.tsv> <output folder> <glyphs.json>\n");
    return 2;
  }
  const fs::path manifest = fs::absolute(argv[1]);
  const fs::path outDir = fs::absolute(argv[2]);
  const std::vector<Entry> entries = ReadManifest(manifest.string());
  std::ostringstream qrc;
  qrc << "<!-- Written by rw_resource_generator from Manifest.tsv; do not edit. -->\n<RCC>\n  <qresource prefix=\"/\">\n";
  qrc << "    <file alias=\"MANIFEST/Resources.tsv\">" << fs::relative(manifest, outDir).string() << "</file>\n";
  std::vector<GlyphOutline> glyphs;
  int failures = 0;

  for (const Entry& e : entries) {
    const std::string alias = e.type + "/" + EncodedName(e.name);
    if (e.type == "GLYPH") {
      GlyphOutline g;
      if (BuildGlyph(e.name, &g)) glyphs.push_back(g);
      else { std::fprintf(stderr, "no glyph design for '%s'\n", e.name.c_str()); ++failures; }
      continue;
    }
    if (e.type == "CUSTOM" && e.name == "DB") continue;  // made from the schema at build time
    std::string file;
    if (e.type == "FONT") {
      file = "FONT/" + e.name + ".ttf";
    } else if (e.type == "SOUND") {
      file = "SOUND/" + e.name + ".wav";
      const std::vector<unsigned char> wav = SynthesiseSound(e.name);
      if (wav.empty()) { std::fprintf(stderr, "no sound for %s\n", e.name.c_str()); ++failures; continue; }
      fs::create_directories(outDir / "SOUND");
      std::ofstream(outDir / file, std::ios::binary).write(reinterpret_cast<const char*>(wav.data()),
                                                           static_cast<std::streamsize>(wav.size()));
    } else {
      const bool jpeg = e.format == "JPEG";
      file = e.type + "/" + SafeName(e.name) + (jpeg ? ".jpg" : ".png");
      const int frames = Frames(e);
      cairo_surface_t* surface = cairo_image_surface_create(
          e.key == "none" ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, e.width * frames, e.height);
      cairo_t* cr = cairo_create(surface);
      bool painted;
      if (e.type == "IMAGELIST" || e.type == "OV_ICONS") {
        const std::string key = e.type == "IMAGELIST" ? e.name.substr(e.name.find('/') + 1) : e.name;
        painted = PaintIcon(cr, key, e.width);
      } else {
        painted = PaintPicture(cr, e.type, e.name, e.width, e.height, frames);
      }
      cairo_destroy(cr);
      if (!painted) { std::fprintf(stderr, "nothing drawn for %s\n", alias.c_str()); ++failures; }
      fs::create_directories((outDir / file).parent_path());
      const bool written = jpeg ? WriteJpeg(surface, (outDir / file).string(), JpegQuality(e.name))
                                : cairo_surface_write_to_png(surface, (outDir / file).c_str()) == CAIRO_STATUS_SUCCESS;
      if (!written) { std::fprintf(stderr, "cannot write %s\n", file.c_str()); ++failures; }
      cairo_surface_destroy(surface);
    }
    qrc << "    <file alias=\"" << XmlEscape(alias) << "\">" << XmlEscape(file) << "</file>\n";
  }
  qrc << "  </qresource>\n</RCC>\n";
  std::ofstream(outDir / "Resources.qrc") << qrc.str();
  WriteGlyphJson(glyphs, argv[3]);
  std::printf("%zu entries, %zu glyphs, %d failures\n", entries.size(), glyphs.size(), failures);
  return failures == 0 ? 0 : 1;
}
