// Builds the program's built-in skin stream from its readable description
// (resources/skins/DefaultUserSkin.txt): groups, elements, their settings and
// properties, and a PNG strip per image drawn here for its states. The output
// depends on nothing but the description: the same bytes on every target.
//
//   skingen <description> <output>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// ---- PNG: RGBA, stored (uncompressed) deflate blocks ----------------------

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void PutBE(Bytes& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

void Chunk(Bytes& out, const char* type, const Bytes& data) {
  PutBE(out, uint32_t(data.size()));
  Bytes body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBE(out, Crc32(body.data(), body.size()));
}

struct Pixel {
  uint8_t r = 0, g = 0, b = 0, a = 0;
};

struct Picture {
  int width = 0, height = 0;
  std::vector<Pixel> pixels;
  Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * h) {}
  Pixel& at(int x, int y) { return pixels[size_t(y) * width + x]; }
  void set(int x, int y, Pixel p) {
    if (x >= 0 && y >= 0 && x < width && y < height) at(x, y) = p;
  }
};

Bytes EncodePng(const Picture& picture) {
  Bytes raw;
  for (int y = 0; y < picture.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < picture.width; ++x) {
      const Pixel& p = picture.pixels[size_t(y) * picture.width + x];
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  Bytes z = {0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(65535, raw.size() - pos);
    const bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(uint8_t(n));
    z.push_back(uint8_t(n >> 8));
    z.push_back(uint8_t(~n));
    z.push_back(uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  PutBE(z, (b << 16) | a);

  Bytes out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  Bytes header;
  PutBE(header, uint32_t(picture.width));
  PutBE(header, uint32_t(picture.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});
  Chunk(out, "IHDR", header);
  Chunk(out, "IDAT", z);
  Chunk(out, "IEND", {});
  return out;
}

// ---- Description -------------------------------------------------------------

[[noreturn]] void Fail(int line, const std::string& what) {
  throw std::runtime_error("line " + std::to_string(line) + ": " + what);
}

struct Rgb {
  int r = 0, g = 0, b = 0;
};

// "#RRGGBB", "none", "default" or a decimal platform colour value.
int32_t ParseColor(const std::string& text, int line) {
  if (text == "none") return 0x1FFFFFFF;
  if (text == "default") return 0x20000000;
  if (text.size() == 7 && text[0] == '#') {
    const unsigned v = std::stoul(text.substr(1), nullptr, 16);
    return int32_t(((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF));
  }
  Fail(line, "not a colour: " + text);
}

Rgb ToRgb(int32_t color) { return {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF}; }

std::vector<int> ParseInts(const std::string& text, char separator, size_t count, int line) {
  std::vector<int> values;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, separator)) values.push_back(std::stoi(item));
  if (values.size() != count) Fail(line, "expected " + std::to_string(count) + " numbers: " + text);
  return values;
}

struct Property {
  std::string cls, name, value;
  int line = 0;
};

struct Image {
  std::string look;  // empty: no picture
  int width = 0, height = 0;
  int margins[4] = {0, 0, 0, 0};
  bool vertical = false;
  uint16_t states = 1;
  int stretch = 0;
  int32_t gradientBegin = 0x1FFFFFFF, gradientEnd = 0x1FFFFFFF;
  int gradientMode = 0;
};

struct Element {
  std::string name;
  int32_t color = 0x20000000, textColor = 0x20000000, border = 0x1FFFFFFF;
  int32_t base = 0x00C8B4A0;
  int imageCount = 1;
  int offset[4] = {0, 0, 0, 0};
  int minSize[2] = {0, 0};
  Image image, glyph;
  std::vector<Property> properties;
};

struct Group {
  std::string name;
  std::vector<Element> elements;
  std::vector<Property> properties;
};

struct Skin {
  std::string name;
  std::vector<std::pair<std::string, int32_t>> colors;
  std::vector<Group> groups;
};

uint16_t ParseStates(const std::string& text, int line) {
  static const std::map<std::string, int> names = {
      {"normal", 0}, {"hot", 1},         {"pressed", 2}, {"disabled", 3},      {"active", 4},      {"focused", 5},
      {"droppeddown", 6}, {"checked", 7}, {"hotcheck", 8}, {"activedisabled", 9}, {"checkpressed", 10}};
  uint16_t states = 0;
  std::stringstream stream(text);
  std::string item;
  while (std::getline(stream, item, ',')) {
    auto it = names.find(item);
    if (it == names.end()) Fail(line, "unknown state " + item);
    states |= uint16_t(1u << it->second);
  }
  return states;
}

void ParseImageKey(Image& image, const std::string& key, const std::string& value, int line) {
  if (key == "look") {
    image.look = value;
  } else if (key == "size") {
    const auto v = ParseInts(value, 'x', 2, line);
    image.width = v[0];
    image.height = v[1];
  } else if (key == "margins") {
    const auto v = ParseInts(value, ',', 4, line);
    for (int i = 0; i < 4; ++i) image.margins[i] = v[i];
  } else if (key == "layout") {
    image.vertical = value == "vertical";
  } else if (key == "states") {
    image.states = ParseStates(value, line);
  } else if (key == "stretch") {
    image.stretch = value == "tile" ? 1 : value == "noresize" ? 2 : 0;
  } else if (key == "gradient") {
    std::stringstream stream(value);
    std::string a, b, mode;
    std::getline(stream, a, ',');
    std::getline(stream, b, ',');
    std::getline(stream, mode, ',');
    image.gradientBegin = ParseColor(a, line);
    image.gradientEnd = ParseColor(b, line);
    image.gradientMode = mode == "vertical" ? 1 : mode == "forward" ? 2 : mode == "backward" ? 3 : 0;
  } else {
    Fail(line, "unknown key " + key);
  }
}

Skin Parse(std::istream& in) {
  Skin skin;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    const size_t indent = text.find_first_not_of(' ');
    if (indent == std::string::npos || text[indent] == '#') continue;
    std::stringstream stream(text.substr(indent));
    std::string word;
    stream >> word;
    if (word == "skin") {
      stream >> skin.name;
    } else if (word == "color") {
      std::string name, value;
      stream >> name >> value;
      skin.colors.push_back({name, ParseColor(value, line)});
    } else if (word == "group") {
      skin.groups.push_back({});
      stream >> skin.groups.back().name;
    } else if (word == "property") {
      if (skin.groups.empty()) Fail(line, "property outside a group");
      Property property;
      property.line = line;
      stream >> property.cls >> property.name;
      std::getline(stream >> std::ws, property.value);
      Group& group = skin.groups.back();
      // Indented under an element: the element's; else the group's.
      if (indent >= 4 && !group.elements.empty())
        group.elements.back().properties.push_back(property);
      else
        group.properties.push_back(property);
    } else if (word == "element") {
      if (skin.groups.empty()) Fail(line, "element outside a group");
      Element element;
      stream >> element.name;
      std::string pair;
      while (stream >> pair) {
        const size_t eq = pair.find('=');
        if (eq == std::string::npos) Fail(line, "expected key=value: " + pair);
        std::string key = pair.substr(0, eq), value = pair.substr(eq + 1);
        if (key == "color") element.color = ParseColor(value, line);
        else if (key == "textcolor") element.textColor = ParseColor(value, line);
        else if (key == "border") element.border = ParseColor(value, line);
        else if (key == "base") element.base = ParseColor(value, line);
        else if (key == "images") element.imageCount = std::stoi(value);
        else if (key == "offset") {
          const auto v = ParseInts(value, ',', 4, line);
          for (int i = 0; i < 4; ++i) element.offset[i] = v[i];
        } else if (key == "minsize") {
          const auto v = ParseInts(value, 'x', 2, line);
          element.minSize[0] = v[0];
          element.minSize[1] = v[1];
        } else if (key.rfind("glyph.", 0) == 0) {
          ParseImageKey(element.glyph, key.substr(6), value, line);
        } else {
          ParseImageKey(element.image, key, value, line);
        }
      }
      if (!element.glyph.look.empty()) element.glyph.states = element.image.states;
      skin.groups.back().elements.push_back(element);
    } else {
      Fail(line, "unknown line: " + word);
    }
  }
  return skin;
}

// ---- Pictures ------------------------------------------------------------------

// Integer arithmetic only (factors in thousandths): the pictures must come out
// the same whatever floating-point unit the generator was built for.
Pixel Shade(Rgb c, int factor, uint8_t alpha = 255) {
  auto f = [factor](int v) {
    const int value = factor >= 1000 ? v + ((255 - v) * (factor - 1000) + 500) / 1000 : (v * factor + 500) / 1000;
    return uint8_t(std::min(255, std::max(0, value)));
  };
  return {f(c.r), f(c.g), f(c.b), alpha};
}

// How a state changes the base colour, in thousandths.
int StateFactor(int state) {
  switch (state) {
    case 1: return 1350;   // hot
    case 2: return 800;    // pressed
    case 3: return 1550;   // disabled
    case 4: return 1100;   // active
    case 7: return 900;    // checked
    case 8: return 1200;   // hot checked
    default: return 1000;
  }
}

Rgb Grey(Rgb c) {
  const int v = (c.r + c.g + c.b) / 3;
  return {v, v, v};
}

void DrawFrame(Picture& p, int x0, int y0, int w, int h, const std::string& look, Rgb base, int state, int index) {
  const int f = StateFactor(state);
  if (state == 3) base = Grey(base);
  const Pixel edge = Shade(base, std::min(1000, 550 * f / 1000));
  const Pixel light = Shade(base, 1450);
  auto fillGradient = [&](int top, int bottom) {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        p.set(x0 + x, y0 + y, Shade(base, (top + (bottom - top) * y / std::max(1, h - 1)) * f / 1000));
  };
  auto frame = [&](Pixel c) {
    for (int x = 0; x < w; ++x) {
      p.set(x0 + x, y0, c);
      p.set(x0 + x, y0 + h - 1, c);
    }
    for (int y = 0; y < h; ++y) {
      p.set(x0, y0 + y, c);
      p.set(x0 + w - 1, y0 + y, c);
    }
  };
  const Pixel ink = state == 3 ? Pixel{150, 150, 150, 255} : Shade(base, 300);
  const int cx = x0 + w / 2, cy = y0 + h / 2;
  if (look == "panel") {
    fillGradient(1150, 950);
    frame(edge);
  } else if (look == "fill") {
    fillGradient(1000, 1000);
  } else if (look == "button") {
    fillGradient(1300, 920);
    frame(edge);
    for (int x = 1; x < w - 1; ++x) p.set(x0 + x, y0 + 1, light);
    // Rounded corners: the corner pixels stay see-through.
    for (int dx : {0, w - 1})
      for (int dy : {0, h - 1}) p.at(x0 + dx, y0 + dy) = Pixel{};
  } else if (look == "line") {
    for (int x = 0; x < w; ++x) p.set(x0 + x, cy, edge);
    for (int y = 0; y < h; ++y) p.set(cx, y0 + y, edge);
  } else if (look == "hline") {
    for (int x = 0; x < w; ++x) p.set(x0 + x, cy, edge);
  } else if (look == "vline") {
    for (int y = 0; y < h; ++y) p.set(cx, y0 + y, edge);
  } else if (look == "grip") {
    for (int y = 2; y + 1 < h; y += 3)
      for (int x = 2; x + 1 < w; x += 3) p.set(x0 + x, y0 + y, edge);
  } else if (look == "check" || look == "radio") {
    const bool round = look == "radio";
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) {
        // Twice the distance from the centre, squared: whole numbers.
        const int dx = 2 * x - (w - 1), dy = 2 * y - (h - 1);
        const int r2 = dx * dx + dy * dy;
        if (round && r2 > (w - 2) * (w - 2)) continue;
        const bool border = round ? 25 * r2 > (5 * w - 22) * (5 * w - 22)
                                  : (x == 1 || y == 1 || x == w - 2 || y == h - 2);
        p.set(x0 + x, y0 + y, border ? edge : Shade({255, 255, 255}, std::min(1000, f)));
      }
    if (index == 1) {
      if (round) {
        for (int y = -2; y <= 2; ++y)
          for (int x = -2; x <= 2; ++x)
            if (x * x + y * y <= 5) p.set(cx + x, cy + y, ink);
      } else {
        for (int i = 0; i < 3; ++i) p.set(cx - 3 + i, cy + i - 1, ink), p.set(cx - 3 + i, cy + i, ink);
        for (int i = 0; i < 5; ++i) p.set(cx - 1 + i, cy + 1 - i, ink), p.set(cx - 1 + i, cy + 2 - i, ink);
      }
    } else if (index == 2) {
      for (int y = cy - 2; y <= cy + 2; ++y)
        for (int x = cx - 2; x <= cx + 2; ++x) p.set(x, y, Shade(base, 700));
    }
  } else if (look == "down" || look == "up" || look == "left" || look == "right") {
    for (int i = 0; i < 4; ++i)
      for (int j = -3 + i; j <= 3 - i; ++j) {
        if (look == "down") p.set(cx + j, cy - 1 + i, ink);
        if (look == "up") p.set(cx + j, cy + 1 - i, ink);
        if (look == "right") p.set(cx - 1 + i, cy + j, ink);
        if (look == "left") p.set(cx + 1 - i, cy + j, ink);
      }
  } else if (look == "cross") {
    for (int i = -3; i <= 3; ++i) {
      p.set(cx + i, cy + i, ink);
      p.set(cx + i, cy - i, ink);
      p.set(cx + i + 1, cy + i, ink);
      p.set(cx + i + 1, cy - i, ink);
    }
  } else if (look == "dots") {
    for (int i = -4; i <= 4; i += 4)
      for (int k = 0; k < 4; ++k) p.set(cx + i + (k & 1), cy + (k >> 1), ink);
  } else if (look == "plusminus") {
    frame(edge);
    for (int i = -2; i <= 2; ++i) p.set(cx + i, cy, ink);
    if (index == 0)
      for (int i = -2; i <= 2; ++i) p.set(cx, cy + i, ink);
  } else if (look == "indicator") {
    // One small mark per image index.
    for (int i = 0; i <= index % 4 + 1; ++i) p.set(x0 + 2 + i, cy, ink);
    for (int i = 0; i < 3; ++i) p.set(cx, cy - 1 + i, ink);
  } else if (look == "shadow") {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) p.set(x0 + x, y0 + y, Pixel{0, 0, 0, uint8_t(80 - 70 * (w > h ? y : x) / std::max(1, (w > h ? h : w)))});
  } else if (look == "clock") {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int dx = 2 * x - (w - 1), dy = 2 * y - (h - 1);
        const int r2 = dx * dx + dy * dy;
        if (r2 <= (w - 2) * (w - 2)) p.set(x0 + x, y0 + y, r2 > (w - 5) * (w - 5) ? edge : Shade(base, 1400));
      }
  } else {
    throw std::runtime_error("unknown look " + look);
  }
}

// The strip: ImageCount blocks of one frame per state, along the layout axis.
Bytes DrawStrip(const Image& image, int imageCount, int32_t base) {
  int states[16], count = 0;
  for (int s = 0; s < 11; ++s)
    if (image.states & (1u << s)) states[count++] = s;
  if (count == 0) states[count++] = 0;
  const int frames = imageCount * count;
  Picture picture(image.vertical ? image.width : image.width * frames, image.vertical ? image.height * frames : image.height);
  for (int i = 0; i < imageCount; ++i)
    for (int k = 0; k < count; ++k) {
      const int n = i * count + k;
      DrawFrame(picture, image.vertical ? 0 : n * image.width, image.vertical ? n * image.height : 0, image.width,
                image.height, image.look, ToRgb(base), states[k], i);
    }
  return EncodePng(picture);
}

// ---- Stream ----------------------------------------------------------------------

struct Writer {
  Bytes out;
  void Int(int32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(uint32_t(v) >> (8 * i)));
  }
  void Byte(uint8_t v) { out.push_back(v); }
  void Str(const std::string& s) {
    Int(int32_t(s.size()));
    out.insert(out.end(), s.begin(), s.end());
  }
  void Rect(const int* r) {
    for (int i = 0; i < 4; ++i) Int(r[i]);
  }
};

void WriteProperties(Writer& w, const std::vector<Property>& properties) {
  w.Int(int32_t(properties.size()));
  for (const Property& p : properties) {
    w.Str(p.cls);
    w.Str(p.name);
    if (p.cls == "TdxSkinIntegerProperty") w.Int(std::stoi(p.value));
    else if (p.cls == "TdxSkinBooleanProperty") w.Byte(p.value == "true" ? 1 : 0);
    else if (p.cls == "TdxSkinColor") w.Int(ParseColor(p.value, p.line));
    else if (p.cls == "TdxSkinStringProperty") w.Str(p.value);
    else Fail(p.line, "unsupported property class " + p.cls);
  }
}

void WriteImage(Writer& w, const Image& image, int imageCount, int32_t base) {
  w.Rect(image.margins);
  w.Byte(image.vertical ? 1 : 0);
  w.out.push_back(uint8_t(image.states));
  w.out.push_back(uint8_t(image.states >> 8));
  w.Byte(uint8_t(image.stretch));
  w.Int(image.gradientBegin);
  w.Int(image.gradientEnd);
  w.Byte(uint8_t(image.gradientMode));
  if (image.look.empty()) {
    w.Int(0);
    return;
  }
  const Bytes png = DrawStrip(image, imageCount, base);
  w.Int(int32_t(png.size()));
  w.out.insert(w.out.end(), png.begin(), png.end());
}

Bytes WriteSkin(const Skin& skin) {
  Writer w;
  w.Int(6);
  w.out.insert(w.out.end(), {'d', 'x', 'S', 'k', 'i', 'n'});
  const double version = 1.02;
  const auto* v = reinterpret_cast<const uint8_t*>(&version);
  w.out.insert(w.out.end(), v, v + 8);
  w.Str(skin.name);
  w.Int(int32_t(skin.colors.size()));
  for (const auto& [name, value] : skin.colors) {
    w.Str("TdxSkinColor");
    w.Str(name);
    w.Int(value);
  }
  w.Int(0);  // no properties of the skin itself
  w.Int(int32_t(skin.groups.size()));
  for (const Group& group : skin.groups) {
    w.Str(group.name);
    w.Int(int32_t(group.elements.size()));
    for (const Element& e : group.elements) {
      w.Str(e.name);
      w.Int(e.color);
      w.Byte(255);
      w.Int(e.imageCount);
      w.Rect(e.offset);
      WriteImage(w, e.glyph, e.imageCount, e.base);
      WriteImage(w, e.image, e.imageCount, e.base);
      static const char* const sides[4] = {"Left", "Top", "Right", "Bottom"};
      for (const char* side : sides) {
        w.Str("TdxSkinBorder");
        w.Str(side);
        w.Int(e.border);
        w.Int(1);
      }
      w.Int(e.textColor);
      w.Int(e.minSize[0]);
      w.Int(e.minSize[1]);
      WriteProperties(w, e.properties);
    }
    WriteProperties(w, group.properties);
  }
  return w.out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skingen <description> <output>\n");
    return 2;
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot open ") + argv[1]);
    const Bytes data = WriteSkin(Parse(in));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    if (!out) throw std::runtime_error(std::string("cannot write ") + argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skingen: %s\n", e.what());
    return 1;
  }
  return 0;
}
