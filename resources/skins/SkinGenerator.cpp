#include "SkinGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <vector>

#include "SkinCanvas.h"

namespace skingen {

namespace {

struct Theme {
  std::string Name;
  std::string Description;
  Rgb Back;    // form background
  Rgb Face;    // buttons, bars
  Rgb Window;  // edits, lists
  Rgb Frame;   // control borders
  Rgb Accent;  // focus, hot borders, selections, progress
  Rgb Text;
  Rgb TextHot;
  Rgb TitleTop, TitleBottom, TitleText;
  Rgb Track;  // scroll and gauge tracks
  bool Dark = false;
  float Radius = 4;
  std::uint32_t Seed = 1;
};

Theme Desert() {
  Theme t;
  t.Name = "Desert";
  t.Description = "Warm sand and terracotta";
  t.Back = FromColor(0xDDEBF3);  // sand  (RGB F3 EB DD)
  t.Face = FromColor(0xC9DDEC);  // light clay
  t.Window = FromColor(0xF5FBFF);
  t.Frame = FromColor(0x7A9CBF);   // dune shadow
  t.Accent = FromColor(0x2D64C8);  // terracotta
  t.Text = FromColor(0x1A2A3B);
  t.TextHot = FromColor(0x10305A);
  t.TitleTop = FromColor(0x4A82D9);
  t.TitleBottom = FromColor(0x2C5CB8);
  t.TitleText = FromColor(0xFFFFFF);
  t.Track = FromColor(0xC0D4E4);
  t.Radius = 4;
  t.Seed = 7;
  return t;
}

Theme Nocturne() {
  Theme t;
  t.Name = "Nocturne";
  t.Description = "Slate night with teal lights";
  t.Back = FromColor(0x2E2723);  // RGB 23 27 2E
  t.Face = FromColor(0x3D342E);
  t.Window = FromColor(0x241F1B);
  t.Frame = FromColor(0x5F5248);
  t.Accent = FromColor(0xA8B63F);  // teal
  t.Text = FromColor(0xEAE3DD);
  t.TextHot = FromColor(0xFFFFFF);
  t.TitleTop = FromColor(0x553F2B);
  t.TitleBottom = FromColor(0x3A2B1E);
  t.TitleText = FromColor(0xF4EEE8);
  t.Track = FromColor(0x2A2420);
  t.Dark = true;
  t.Radius = 3;
  t.Seed = 11;
  return t;
}

std::string Num(std::uint32_t c) {
  return std::to_string(static_cast<std::int32_t>(c));
}
std::string Col(const Rgb& c) {
  return Num(ToColor(c));
}

// Vertical gradient text: colours top to bottom in rows.
std::string Gradient(const Rgb& top, const Rgb& bottom) {
  return Col(top) + ";" + Col(bottom) + ";100;0;0";
}
std::string Gradient3(const Rgb& top, const Rgb& middle, const Rgb& bottom) {
  return Col(top) + ";" + Col(middle) + ";50;0;0;" + Col(middle) + ";" + Col(bottom) + ";50;0;0";
}

// Deterministic noise for the textures.
struct Noise {
  std::uint32_t State;
  float Next() {
    State = State * 1664525u + 1013904223u;
    return static_cast<float>((State >> 8) & 0xFFFF) / 65535.0f;
  }
};

// Packs strips into the master bitmap, one shelf after another.
class Master {
public:
  // Returns the cut text of a strip of count frames drawn side by side with masks below.
  std::string Add(const Picture& strip, int count, int borderWidth) {
    constexpr int width = 512;
    if (FX + strip.Width() > width) {
      FX = 0;
      FY += FRowHeight + 1;
      FRowHeight = 0;
    }
    FItems.push_back({FX, FY, strip});
    const std::string cut = "# (" + std::to_string(FX) + "," + std::to_string(FY) + "," +
                            std::to_string(FX + strip.Width()) + "," + std::to_string(FY + strip.Height()) +
                            ") (" + std::to_string(count) + ",1," + std::to_string(borderWidth) + ")";
    FX += strip.Width() + 1;
    FRowHeight = std::max(FRowHeight, strip.Height());
    return cut;
  }

  Picture Build() const {
    Picture p(512, FY + FRowHeight, KeyColor);
    for (const auto& item : FItems) p.Put(item.P, item.X, item.Y);
    return p;
  }

private:
  struct Item {
    int X, Y;
    Picture P;
  };
  std::vector<Item> FItems;
  int FX = 0, FY = 0, FRowHeight = 0;
};

struct Shape {
  float X0, Y0, X1, Y1, R;
};

// count frames of w x h side by side; draw(layer, state, ox) paints frame `state` at x offset ox.
// Pixels outside the shape of each frame become the key colour; with no shape every uncovered
// pixel does (glyphs).
Picture Strip(int w, int h, int count, const std::function<void(Layer&, int, float)>& draw,
              const std::function<Shape(int)>& shape = nullptr) {
  Layer layer(w * count, h);
  std::vector<bool> key(static_cast<std::size_t>(w) * count * h, true);
  for (int s = 0; s < count; ++s) {
    draw(layer, s, static_cast<float>(s * w));
    if (!shape) continue;
    const Shape sh = shape(s);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Outside when the pixel centre lies outside the rounded shape.
        const float px = x + 0.5f, py = y + 0.5f;
        const float cx = (sh.X0 + sh.X1) / 2, cy = (sh.Y0 + sh.Y1) / 2;
        const float hx = (sh.X1 - sh.X0) / 2, hy = (sh.Y1 - sh.Y0) / 2;
        const float r = std::min(sh.R, std::min(hx, hy));
        const float qx = std::fabs(px - cx) - (hx - r), qy = std::fabs(py - cy) - (hy - r);
        const float d =
            std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - r;
        key[static_cast<std::size_t>(y) * w * count + s * w + x] = d > 0.35f;
      }
  }
  return MaskedFrame(layer, key);
}

// Nine-part border of a control: three states (normal, hot, pressed or focused).
Picture ControlBorder(const Theme& t, int part, float radius, const Rgb& normal, const Rgb& hot,
                      const Rgb& pressed, bool bevel) {
  const int s = 3 * part;
  return Strip(
      s, s, 3,
      [&](Layer& l, int state, float ox) {
        const Rgb c = state == 0 ? normal : (state == 1 ? hot : pressed);
        if (bevel && state != 2)
          l.StrokeRoundRect(ox + 1, 1, ox + s - 1, s - 1, radius - 1, 1, {1, 1, 1}, t.Dark ? 0.06f : 0.45f);
        if (state == 2) l.StrokeRoundRect(ox + 1, 1, ox + s - 1, s - 1, radius - 1, 1, {0, 0, 0}, 0.12f);
        l.StrokeRoundRect(ox, 0, ox + s, s, radius, 1, c);
      },
      [&](int) {
        return Shape{0, 0, static_cast<float>(s), static_cast<float>(s), radius};
      });
}

// A tab: rounded on the outer side; side 0 top, 1 bottom, 2 left, 3 right.
Picture TabBorder(const Theme& t, int side) {
  const int part = 5, s = 3 * part;
  const float r = t.Radius + 1;
  auto shapeOf = [&]() -> Shape {
    const float fs = static_cast<float>(s);
    switch (side) {
      case 0:
        return {0, 0, fs, fs + r, r};
      case 1:
        return {0, -r, fs, fs, r};
      case 2:
        return {0, 0, fs + r, fs, r};
      default:
        return {-r, 0, fs, fs, r};
    }
  };
  return Strip(
      s, s, 3,
      [&](Layer& l, int state, float ox) {
        const Shape sh = shapeOf();
        const Rgb c = state == 0 ? t.Frame : t.Accent;
        l.StrokeRoundRect(ox + sh.X0, sh.Y0, ox + sh.X1, sh.Y1, sh.R, 1, state == 2 ? t.Frame : c);
        if (state == 2) {
          // The selected tab carries an accent line on its outer edge.
          if (side == 0) l.Line(ox + 2, 1.5f, ox + s - 2, 1.5f, 2, t.Accent);
          if (side == 1) l.Line(ox + 2, s - 1.5f, ox + s - 2, s - 1.5f, 2, t.Accent);
          if (side == 2) l.Line(ox + 1.5f, 2, ox + 1.5f, s - 2, 2, t.Accent);
          if (side == 3) l.Line(ox + s - 1.5f, 2, ox + s - 1.5f, s - 2, 2, t.Accent);
        }
      },
      [&](int) { return shapeOf(); });
}

enum class Glyph { Up, Down, Left, Right, Close, Min, Max, Restore, Help, GripV, GripH };

void DrawGlyph(Layer& l, Glyph g, float x, float y, float size, const Rgb& c, float width = 1.6f) {
  const float m = size / 2, q = size / 4;
  switch (g) {
    case Glyph::Up:
      l.Line(x + q, y + m + q / 2, x + m, y + m - q / 2, width, c);
      l.Line(x + m, y + m - q / 2, x + size - q, y + m + q / 2, width, c);
      break;
    case Glyph::Down:
      l.Line(x + q, y + m - q / 2, x + m, y + m + q / 2, width, c);
      l.Line(x + m, y + m + q / 2, x + size - q, y + m - q / 2, width, c);
      break;
    case Glyph::Left:
      l.Line(x + m + q / 2, y + q, x + m - q / 2, y + m, width, c);
      l.Line(x + m - q / 2, y + m, x + m + q / 2, y + size - q, width, c);
      break;
    case Glyph::Right:
      l.Line(x + m - q / 2, y + q, x + m + q / 2, y + m, width, c);
      l.Line(x + m + q / 2, y + m, x + m - q / 2, y + size - q, width, c);
      break;
    case Glyph::Close:
      l.Line(x + q + 1, y + q + 1, x + size - q - 1, y + size - q - 1, width, c);
      l.Line(x + size - q - 1, y + q + 1, x + q + 1, y + size - q - 1, width, c);
      break;
    case Glyph::Min:
      l.Line(x + q + 1, y + m + 1, x + size - q - 1, y + m + 1, width, c);
      break;
    case Glyph::Max:
      l.StrokeRoundRect(x + q + 1, y + q + 1, x + size - q - 1, y + size - q - 1, 1.5f, width * 0.8f, c);
      break;
    case Glyph::Restore:
      l.StrokeRoundRect(x + q + 3, y + q, x + size - q, y + size - q - 3, 1.5f, width * 0.7f, c);
      l.StrokeRoundRect(x + q, y + q + 3, x + size - q - 3, y + size - q, 1.5f, width * 0.7f, c);
      break;
    case Glyph::Help: {
      // A question mark: an arc over the top, a short stem, a dot.
      const float cx = x + m, cy = y + m - 2.5f, r = 3.0f;
      float px = cx + r * std::cos(-3.49f), py = cy + r * std::sin(-3.49f);
      for (int i = 1; i <= 12; ++i) {
        const float a = -3.49f + (1.05f + 3.49f) * i / 12;
        const float nx = cx + r * std::cos(a), ny = cy + r * std::sin(a);
        l.Line(px, py, nx, ny, width * 0.9f, c);
        px = nx;
        py = ny;
      }
      l.Line(px, py, cx, cy + r + 1.5f, width * 0.9f, c);
      l.FillCircle(cx, y + m + 4.5f, 1.1f, c);
      break;
    }
    case Glyph::GripV:
      for (int k = -1; k <= 1; ++k) l.Line(x + q, y + m + 2.5f * k, x + size - q, y + m + 2.5f * k, 1, c);
      break;
    case Glyph::GripH:
      for (int k = -1; k <= 1; ++k) l.Line(x + m + 2.5f * k, y + q, x + m + 2.5f * k, y + size - q, 1, c);
      break;
  }
}

// Title buttons: normal, hot, pressed. The same glyphs stand on the menu band for a maximized MDI
// child: on a light theme's band the light glyph keeps a dark rim to be seen.
Picture TitleGlyph(const Theme& t, Glyph g, bool danger) {
  const int s = 21;
  return Strip(s, s, 3, [&](Layer& l, int state, float ox) {
    if (state > 0) {
      const Rgb back = danger ? FromColor(0x2B2BD8) : Rgb{1, 1, 1};
      l.FillRoundRect(ox + 1, 1, ox + s - 1, s - 1, 4, back,
                      danger ? (state == 1 ? 0.9f : 1.0f) : (state == 1 ? 0.22f : 0.35f));
    }
    if (!t.Dark) DrawGlyph(l, g, ox + 3, 3, s - 6, Darker(t.TitleBottom, 0.35f), 3.4f);
    DrawGlyph(l, g, ox + 3, 3, s - 6, t.TitleText, 1.5f);
  });
}

// Check box and radio glyphs of one kind: normal, hot, pressed. kind 0 unchecked, 1 checked, 2 grayed.
Picture CheckGlyph(const Theme& t, bool radio, int kind, int s) {
  return Strip(s, s, 3, [&](Layer& l, int state, float ox) {
    const float inset = 0.5f, r = radio ? s / 2.0f : std::max(2.0f, s / 5.0f);
    const Rgb border = state == 0 ? t.Frame : t.Accent;
    Rgb fill = kind == 1 ? t.Accent : t.Window;
    if (kind == 1 && state == 1) fill = Lighter(t.Accent, 0.15f);
    if (kind == 1 && state == 2) fill = Darker(t.Accent, 0.15f);
    if (kind == 0 && state == 2) fill = Mix(t.Window, t.Accent, 0.15f);
    if (kind == 2) fill = Mix(t.Window, t.Frame, 0.35f);
    l.FillRoundRect(ox + inset, inset, ox + s - inset, s - inset, r, fill);
    l.StrokeRoundRect(ox + inset, inset, ox + s - inset, s - inset, r, 1,
                      kind == 1 ? Darker(t.Accent, 0.1f) : border);
    const Rgb mark = kind == 2 ? Mix(t.Text, t.Window, 0.4f) : Rgb{1, 1, 1};
    if (kind == 0) return;
    if (radio) {
      l.FillCircle(ox + s / 2.0f, s / 2.0f, s / 5.5f, kind == 2 ? mark : Rgb{1, 1, 1});
    } else if (kind == 1) {
      l.Line(ox + s * 0.26f, s * 0.52f, ox + s * 0.43f, s * 0.70f, s / 8.0f, mark);
      l.Line(ox + s * 0.43f, s * 0.70f, ox + s * 0.76f, s * 0.31f, s / 8.0f, mark);
    } else {
      l.Line(ox + s * 0.28f, s * 0.5f, ox + s * 0.72f, s * 0.5f, s / 8.0f, mark);
    }
  });
}

Picture Texture(const Theme& t, int w, int h, float strength) {
  Picture p(w, h);
  Noise n{t.Seed};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float v = (n.Next() - 0.5f) * strength;
      if (!t.Dark) {
        // Soft dunes: long low waves under the grain; they repeat with the tile.
        v += 0.012f * std::sin(6.2831853f * (x / static_cast<float>(w) * 2 + y / static_cast<float>(h)));
      } else {
        // Brushed: the grain runs along the rows.
        v += 0.01f * std::sin(6.2831853f * y * 9 / static_cast<float>(h));
      }
      Rgb c = t.Back;
      c.R += v;
      c.G += v;
      c.B += v;
      p.Set(x, y, ToColor(c));
    }
  return p;
}

class OptionsFile {
public:
  void Section(const std::string& name) { FText += (FText.empty() ? "" : "\r\n") + ("[" + name + "]\r\n"); }
  void Key(const std::string& key, const std::string& value) { FText += key + "=" + value + "\r\n"; }
  const std::string& Text() const { return FText; }

private:
  std::string FText;
};

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  return static_cast<bool>(out.flush());
}

// Common keys of a section: colours and the normal and hot looks.
struct Look {
  Rgb Color, HotColor, Font, HotFont;
  std::string Gradient, HotGradient;
  int Transparency = 0, HotTransparency = 0;
};

void WriteLook(OptionsFile& f, const Look& k) {
  f.Key("COLOR", Col(k.Color));
  f.Key("HOTCOLOR", Col(k.HotColor));
  f.Key("FONTCOLOR", Col(k.Font));
  f.Key("HOTFONTCOLOR", Col(k.HotFont));
  f.Key("TRANSPARENCY", std::to_string(k.Transparency));
  f.Key("HOTTRANSPARENCY", std::to_string(k.HotTransparency));
  f.Key("GRADIENTPERCENT", k.Gradient.empty() ? "0" : "100");
  if (!k.Gradient.empty()) f.Key("GRADIENTDATA", k.Gradient);
  f.Key("HOTGRADIENTPERCENT", k.HotGradient.empty() ? "0" : "100");
  if (!k.HotGradient.empty()) f.Key("HOTGRADIENTDATA", k.HotGradient);
}

bool GenerateSkin(const Theme& t, const std::filesystem::path& dir) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::create_directories(dir / "Glyphs", ec);
  fs::create_directories(dir / "Borders", ec);
  fs::create_directories(dir / "Patterns", ec);
  bool ok = true;
  Master master;
  OptionsFile f;

  const Rgb faceTop = Lighter(t.Face, t.Dark ? 0.08f : 0.55f);
  const Rgb faceBottom = Darker(t.Face, t.Dark ? 0.10f : 0.04f);
  const Rgb hotTop = Mix(faceTop, t.Accent, 0.12f);
  const Rgb hotBottom = Mix(faceBottom, t.Accent, 0.18f);
  const Rgb select = Mix(t.Window, t.Accent, t.Dark ? 0.35f : 0.22f);

  // Separate pictures: check and radio glyphs, the group box border, textures.
  const char* checkNames[3] = {"UNCHECKED", "CHECKED", "GRAYED"};
  const int kinds[3] = {0, 1, 2};
  std::map<std::string, std::string> glyphFiles;
  for (int k = 0; k < 3; ++k) {
    for (int family = 0; family < 3; ++family) {
      const std::string prefix = family == 0 ? "BOX" : (family == 1 ? "RADIO" : "SMALL");
      const std::string key = prefix + checkNames[k];
      const std::string file = "Glyphs\\" + key + ".bmp";
      ok = WriteBmp(CheckGlyph(t, family == 1, kinds[k], family == 2 ? 11 : 15),
                    (dir / "Glyphs" / (key + ".bmp")).string()) &&
           ok;
      glyphFiles[key] = file;
    }
  }
  {
    const int s = 12;
    Picture group = Strip(
        s, s, 3,
        [&](Layer& l, int, float ox) {
          l.StrokeRoundRect(ox + 0.5f, 0.5f, ox + s - 0.5f, s - 0.5f, t.Radius + 1, 1,
                            Mix(t.Frame, t.Back, 0.35f));
        },
        [&](int) {
          return Shape{0, 0, static_cast<float>(s), static_cast<float>(s), t.Radius + 1};
        });
    ok = WriteBmp(group, (dir / "Borders" / "GroupBox.bmp").string()) && ok;
  }
  ok = WriteJpeg(Texture(t, 320, 320, t.Dark ? 0.025f : 0.035f), (dir / "Patterns" / "Back.jpg").string(),
                 90) &&
       ok;
  ok = WriteJpeg(Texture(t, 64, 64, 0.05f), (dir / "Patterns" / "Grain.jpg").string(), 90) && ok;

  // The description, section by section.
  f.Section("GLOBALINFO");
  f.Key("VERSION", "6.0");
  f.Key("AUTHOR", "Tarvex");
  f.Key("DESCRIPTION", t.Description);
  f.Key("MASTERBITMAP", "Master.bmp");
  WriteLook(f, {t.Back, t.Back, t.Text, t.TextHot, "", "", 0, 0});
  for (const auto& [key, file] : glyphFiles) f.Key(key, file);

  f.Section("FORM");
  WriteLook(f, {t.Back, t.Back, t.Text, t.TextHot, "", "", 0, 0});
  f.Key("IMAGEPERCENT", "100");
  f.Key("PATTERN", "Patterns\\Back.jpg");
  f.Key("BORDERSMASK", master.Add(Strip(
                                      24, 24, 2,
                                      [&](Layer& l, int state, float ox) {
                                        const Rgb edge = state == 0 ? Darker(t.TitleBottom, 0.25f) : t.Frame;
                                        l.StrokeRoundRect(
                                            ox + 1, 1, ox + 23, 23, 5, 3,
                                            Mix(t.TitleBottom, t.Back, state == 0 ? 0.55f : 0.75f));
                                        l.StrokeRoundRect(ox, 0, ox + 24, 24, 6, 1, edge);
                                      },
                                      [&](int) {
                                        return Shape{0, 0, 24, 24, 6};
                                      }),
                                  2, 0));
  f.Key("TITLEBAR",
        master.Add(Strip(18, 18, 2,
                         [&](Layer& l, int, float ox) {
                           l.FillRoundRect(ox, -6, ox + 18, 18, 6, {0, 0, 0}, t.Dark ? 0.18f : 0.10f);
                         }),
                   2, 0));
  f.Key("BICONCLOSE", master.Add(TitleGlyph(t, Glyph::Close, true), 3, 0));
  f.Key("BICONMAX", master.Add(TitleGlyph(t, Glyph::Max, false), 3, 0));
  f.Key("BICONNORM", master.Add(TitleGlyph(t, Glyph::Restore, false), 3, 0));
  f.Key("BICONMIN", master.Add(TitleGlyph(t, Glyph::Min, false), 3, 0));
  f.Key("BICONHELP", master.Add(TitleGlyph(t, Glyph::Help, false), 3, 0));
  f.Key("TITLEBUTTON", master.Add(TitleGlyph(t, Glyph::GripH, false), 3, 0));
  f.Key("GRIPIMAGE", master.Add(Strip(12, 12, 1,
                                      [&](Layer& l, int, float ox) {
                                        for (int i = 0; i < 3; ++i)
                                          for (int j = 0; j <= i; ++j)
                                            l.FillCircle(ox + 10 - 4 * j - 0.5f, 10 - 4 * (i - j) - 0.5f,
                                                         1.1f, Mix(t.Frame, t.Text, 0.3f));
                                      }),
                                1, 0));
  f.Key("RESERVEDBOOLEAN", "FALSE");

  f.Section("DIALOG");
  f.Key("PARENTCLASS", "FORM");

  f.Section("FORMTITLE");
  WriteLook(f, {t.TitleBottom, Mix(t.TitleBottom, t.Back, 0.6f), t.TitleText, t.TitleText,
                Gradient(t.TitleTop, t.TitleBottom),
                Gradient(Mix(t.TitleTop, t.Back, 0.6f), Mix(t.TitleBottom, t.Back, 0.6f))});

  f.Section("MENULINE");
  WriteLook(f, {Lighter(t.Back, t.Dark ? 0.03f : 0.3f), select, t.Text, t.TextHot, "", "", 0, 0});
  f.Section("MAINMENU");
  f.Key("PARENTCLASS", "MENULINE");
  f.Section("MENUITEM");
  WriteLook(f, {t.Window, select, t.Text, t.TextHot, "", "", 0, 0});
  f.Key("BORDERSMASK", master.Add(ControlBorder(t, 4, t.Radius, t.Window, t.Accent, t.Accent, false), 3, 0));

  f.Section("MDIAREA");
  WriteLook(f, {Darker(t.Back, 0.12f), Darker(t.Back, 0.12f), t.Text, t.Text,
                Gradient(Darker(t.Back, 0.06f), Darker(t.Back, 0.16f)), ""});

  const std::string buttonBorder =
      master.Add(ControlBorder(t, 5, t.Radius + 1, t.Frame, t.Accent, Darker(t.Accent, 0.2f), true), 3, 0);
  f.Section("BUTTON");
  WriteLook(f, {t.Face, Mix(t.Face, t.Accent, 0.15f), t.Text, t.TextHot, Gradient(faceTop, faceBottom),
                Gradient(hotTop, hotBottom), 0, 0});
  f.Key("BORDERSMASK", buttonBorder);
  f.Key("SHOWFOCUS", "TRUE");
  f.Key("FADINGENABLED", "TRUE");
  f.Key("FADINGITERATIONS", "5");
  f.Key("FADINGINTERVALIN", "10");
  f.Key("FADINGINTERVALOUT", "15");

  f.Section("SPEEDBUTTON");
  f.Key("PARENTCLASS", "BUTTON");
  f.Key("TRANSPARENCY", "100");
  f.Section("SPEEDBUTTON_SMALL");
  f.Key("PARENTCLASS", "SPEEDBUTTON");
  f.Section("TOOLBUTTON");
  f.Key("PARENTCLASS", "SPEEDBUTTON");
  f.Section("WEBBUTTON");
  WriteLook(f, {t.Back, t.Back, t.Accent, Lighter(t.Accent, 0.2f), "", "", 100, 100});

  const std::string editBorder =
      master.Add(ControlBorder(t, 4, t.Radius, t.Frame, t.Accent, t.Accent, false), 3, 0);
  f.Section("EDIT");
  WriteLook(f, {t.Window, t.Window, t.Text, t.Text, "", "", 0, 0});
  f.Key("BORDERSMASK", editBorder);
  f.Key("SHOWFOCUS", "TRUE");
  f.Section("COMBOBOX");
  f.Key("PARENTCLASS", "EDIT");
  f.Key("GLYPHMASK", master.Add(Strip(13, 13, 3,
                                      [&](Layer& l, int state, float ox) {
                                        DrawGlyph(l, Glyph::Down, ox, 0, 13,
                                                  state == 0 ? Mix(t.Text, t.Window, 0.25f) : t.Accent, 1.7f);
                                      }),
                                3, 0));

  f.Section("CHECKBOX");
  WriteLook(f, {t.Back, t.Back, t.Text, t.TextHot, "", "", 100, 100});
  f.Section("RADIOBUTTON");
  f.Key("PARENTCLASS", "CHECKBOX");

  f.Section("GROUPBOX");
  WriteLook(f, {t.Back, t.Back, Mix(t.Text, t.Accent, 0.5f), t.Accent, "", "", 100, 100});
  f.Key("BORDERSMASK", "Borders\\GroupBox.bmp");

  f.Section("PANEL");
  WriteLook(f, {t.Back, t.Back, t.Text, t.Text, "", "", 100, 100});
  f.Section("PANEL_LOW");
  WriteLook(f, {Mix(t.Back, t.Window, 0.5f), Mix(t.Back, t.Window, 0.5f), t.Text, t.Text, "", "", 0, 0});
  f.Key("BORDERSMASK",
        master.Add(ControlBorder(t, 4, t.Radius, Mix(t.Frame, t.Back, 0.3f), Mix(t.Frame, t.Back, 0.3f),
                                 Mix(t.Frame, t.Back, 0.3f), false),
                   3, 0));

  f.Section("TOOLBAR");
  WriteLook(f, {t.Face, t.Face, t.Text, t.TextHot, Gradient(Lighter(t.Back, t.Dark ? 0.05f : 0.4f), t.Back),
                "", 0, 0});
  f.Key("IMAGEPERCENT", "20");
  f.Key("GRADIENTPERCENT", "80");
  f.Key("PATTERN", "Patterns\\Grain.jpg");
  f.Section("DRAGBAR");
  f.Key("PARENTCLASS", "TOOLBAR");
  f.Section("BAR");
  f.Key("PARENTCLASS", "PANEL");
  f.Section("BARTITLE");
  WriteLook(f, {t.TitleBottom, t.TitleTop, t.TitleText, t.TitleText, Gradient(t.TitleTop, t.TitleBottom), "",
                0, 0});
  f.Section("SPLITTER");
  f.Key("PARENTCLASS", "PANEL");
  f.Section("TRACKBAR");
  f.Key("PARENTCLASS", "PANEL");
  f.Section("HINT");
  WriteLook(f,
            {t.Window, t.Window, t.Text, t.Text, Gradient(t.Window, Mix(t.Window, t.Back, 0.6f)), "", 0, 0});
  f.Key("BORDERSMASK", editBorder);

  f.Section("PAGECONTROL");
  WriteLook(f, {Lighter(t.Back, t.Dark ? 0.03f : 0.35f), t.Back, t.Text, t.Text, "", "", 0, 0});
  f.Key("BORDERSMASK", master.Add(ControlBorder(t, 4, t.Radius, t.Frame, t.Frame, t.Frame, false), 3, 0));
  f.Section("TABCONTROL");
  f.Key("PARENTCLASS", "PAGECONTROL");
  f.Section("TABSHEET");
  WriteLook(f, {Lighter(t.Back, t.Dark ? 0.03f : 0.35f), t.Back, t.Text, t.Text, "", "", 0, 0});
  const char* tabs[4] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  for (int side = 0; side < 4; ++side) {
    f.Section(tabs[side]);
    WriteLook(f, {t.Face, Mix(t.Face, t.Accent, 0.12f), Mix(t.Text, t.Back, 0.15f), t.TextHot,
                  Gradient(faceTop, t.Face), Gradient(hotTop, Mix(t.Face, t.Accent, 0.12f)), 0, 0});
    f.Key("BORDERSMASK", master.Add(TabBorder(t, side), 3, 0));
  }

  const char* buttons[4] = {"SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLBTNLEFT", "SCROLLBTNRIGHT"};
  const Glyph arrows[4] = {Glyph::Up, Glyph::Down, Glyph::Left, Glyph::Right};
  const std::string scrollBorder = master.Add(
      ControlBorder(t, 4, t.Radius, Mix(t.Frame, t.Track, 0.4f), t.Accent, Darker(t.Accent, 0.2f), true), 3,
      0);
  for (int k = 0; k < 4; ++k) {
    f.Section(buttons[k]);
    WriteLook(f, {t.Face, Mix(t.Face, t.Accent, 0.15f), t.Text, t.TextHot, Gradient(faceTop, faceBottom),
                  Gradient(hotTop, hotBottom), 0, 0});
    f.Key("BORDERSMASK", scrollBorder);
    f.Key("GLYPHMASK", master.Add(Strip(11, 11, 3,
                                        [&](Layer& l, int state, float ox) {
                                          DrawGlyph(l, arrows[k], ox, 0, 11,
                                                    state == 0 ? Mix(t.Text, t.Face, 0.2f) : t.Accent, 1.6f);
                                        }),
                                  3, 0));
  }
  const char* sliders[2] = {"SCROLLSLIDERV", "SCROLLSLIDERH"};
  for (int k = 0; k < 2; ++k) {
    f.Section(sliders[k]);
    WriteLook(f, {t.Face, Mix(t.Face, t.Accent, 0.2f), t.Text, t.TextHot, Gradient(faceTop, faceBottom),
                  Gradient(hotTop, hotBottom), 0, 0});
    f.Key("BORDERSMASK", scrollBorder);
    f.Key("GLYPHMASK", master.Add(Strip(11, 11, 3,
                                        [&](Layer& l, int state, float ox) {
                                          DrawGlyph(l, k == 0 ? Glyph::GripV : Glyph::GripH, ox, 0, 11,
                                                    state == 0 ? t.Frame : t.Accent);
                                        }),
                                  3, 0));
  }
  const char* bars[4] = {"SCROLLBAR1H", "SCROLLBAR1V", "SCROLLBAR2H", "SCROLLBAR2V"};
  const Rgb groove = Mix(t.Frame, t.Track, 0.55f);
  const std::string trackBorder =
      master.Add(ControlBorder(t, 4, t.Radius, groove, groove, groove, false), 3, 0);
  for (int k = 0; k < 4; ++k) {
    f.Section(bars[k]);
    if (k >= 2) {
      f.Key("PARENTCLASS", bars[k - 2]);
      f.Key("COLOR", Col(Mix(t.Track, t.Accent, 0.2f)));
      continue;
    }
    WriteLook(f, {t.Track, Mix(t.Track, t.Accent, 0.1f), t.Text, t.Text, "", "", 0, 0});
    f.Key("BORDERSMASK", trackBorder);
  }

  f.Section("STATUSBAR");
  WriteLook(f, {t.Face, t.Face, t.Text, t.Text, Gradient(t.Back, Darker(t.Back, 0.05f)), "", 0, 0});
  f.Key("IMAGEPERCENT", "20");
  f.Key("GRADIENTPERCENT", "80");
  f.Key("PATTERN", "Patterns\\Grain.jpg");
  f.Key("GRIPIMAGE", master.Add(Strip(12, 12, 1,
                                      [&](Layer& l, int, float ox) {
                                        for (int i = 0; i < 3; ++i)
                                          for (int j = 0; j <= i; ++j)
                                            l.FillCircle(ox + 10 - 4 * j - 0.5f, 10 - 4 * (i - j) - 0.5f,
                                                         1.1f, t.Frame);
                                      }),
                                1, 0));
  // The dark skin frames each panel; the light one draws dividers between them.
  if (t.Dark) {
    const Rgb panelFrame = Mix(t.Frame, t.Back, 0.3f);
    f.Key("STATUSPANELMASK", master.Add(ControlBorder(t, 4, t.Radius, panelFrame, panelFrame, panelFrame, true), 3, 0));
  }
  f.Section("DIVIDER");
  WriteLook(f, {t.Back, t.Back, t.Text, t.Text, "", "", 100, 100});
  f.Key("BORDERSMASK",
        master.Add(Strip(6, 6, 1,
                         [&](Layer& l, int, float ox) {
                           l.Line(ox + 2.5f, -1, ox + 2.5f, 7, 1, Mix(t.Frame, t.Back, 0.3f));
                           l.Line(ox + 3.5f, -1, ox + 3.5f, 7, 1, {1, 1, 1}, t.Dark ? 0.05f : 0.6f);
                         }),
                   1, 0));

  f.Section("GAUGE");
  WriteLook(f, {t.Track, t.Track, t.Text, t.Text, "", "", 0, 0});
  f.Key("BORDERSMASK", editBorder);
  const Rgb accentTop = Lighter(t.Accent, 0.3f), accentBottom = Darker(t.Accent, 0.1f);
  f.Section("PROGRESSH");
  WriteLook(f, {t.Accent, t.Accent, t.TitleText, t.TitleText, Gradient3(accentTop, t.Accent, accentBottom),
                "", 0, 0});
  f.Section("PROGRESSV");
  WriteLook(f, {t.Accent, t.Accent, t.TitleText, t.TitleText,
                Col(accentTop) + ";" + Col(accentBottom) + ";100;1;0", "", 0, 0});

  f.Section("COLHEADER");
  WriteLook(f, {t.Face, Mix(t.Face, t.Accent, 0.12f), t.Text, t.TextHot, Gradient(faceTop, t.Face),
                Gradient(hotTop, hotBottom), 0, 0});
  f.Key("BORDERSMASK", master.Add(Strip(9, 9, 3,
                                        [&](Layer& l, int state, float ox) {
                                          l.Line(ox + 8.5f, 1, ox + 8.5f, 8, 1, Mix(t.Frame, t.Face, 0.3f));
                                          l.Line(ox - 1, 8.5f, ox + 10, 8.5f, 1,
                                                 state == 0 ? t.Frame : t.Accent);
                                        }),
                                  3, 0));

  // Page control bodies for tabs on the other sides: the top body's look.
  for (const char* body : {"PAGECONTROLBOTTOM", "PAGECONTROLLEFT", "PAGECONTROLRIGHT"}) {
    f.Section(body);
    f.Key("PARENTCLASS", "PAGECONTROL");
  }

  ok = WriteBmp(master.Build(), (dir / "Master.bmp").string()) && ok;
  ok = WriteText((dir / "Options.dat").string(), f.Text()) && ok;
  return ok;
}

}  // namespace

bool GenerateSkins(const std::string& skinsDir) {
  const std::filesystem::path root(skinsDir);
  bool ok = GenerateSkin(Desert(), root / "Desert");
  ok = GenerateSkin(Nocturne(), root / "Nocturne") && ok;
  return ok;
}

}  // namespace skingen
