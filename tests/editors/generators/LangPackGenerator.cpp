#include "tests/editors/generators/LangPackGenerator.h"

#include <algorithm>
#include <map>
#include <memory>
#include <queue>
#include <random>
#include <set>
#include <sstream>
#include <string_view>

namespace {

void Be16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  v[at] = uint8_t(x >> 8);
  v[at + 1] = uint8_t(x);
}
void Be32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (24 - 8 * i));
}
void Le32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = uint8_t(x >> (8 * i));
}

std::vector<char16_t> AlphabetUnits(const TGenLanguagePlan& plan) {
  std::vector<char16_t> units;
  switch (plan.Alphabet) {
    case TAlphabet::Ascii:
      for (char16_t c = 32; c < 127; ++c) units.push_back(c);
      break;
    case TAlphabet::Cyrillic:
      for (char16_t c = 0x410; c < 0x450; ++c) units.push_back(c);
      for (char16_t c : std::u16string_view(u" .,!?-0123456789")) units.push_back(c);
      break;
    case TAlphabet::Cjk: {
      const int n = plan.AlphabetSize > 0 ? plan.AlphabetSize : 6000;
      for (int i = 0; i < n; ++i) units.push_back(char16_t(0x4E00 + i));
      for (char16_t c : std::u16string_view(u" \u3001\u3002")) units.push_back(c);
      break;
    }
  }
  if (plan.AlphabetSize > 0 && plan.Alphabet != TAlphabet::Cjk && size_t(plan.AlphabetSize) < units.size()) {
    units.resize(size_t(plan.AlphabetSize));
  }
  return units;
}

std::vector<std::u16string> MakeStrings(const TGenLanguagePlan& plan, std::mt19937& rng) {
  const std::vector<char16_t> units = AlphabetUnits(plan);
  std::uniform_real_distribution<double> unit01(0.0, 1.0);
  std::vector<std::u16string> strings(size_t(plan.Strings));
  for (auto& s : strings) {
    const double r = unit01(rng);
    size_t length = 0;
    if (r < 0.1) {
      length = 0;
    } else if (r < 0.998) {
      length = 1 + size_t(unit01(rng) * 30);
    } else {
      length = 200 + size_t(unit01(rng) * 56);  // up to 255
    }
    for (size_t i = 0; i < length; ++i) {
      const double u = unit01(rng);
      s.push_back(units[std::min(units.size() - 1, size_t(u * u * u * double(units.size())))]);
    }
  }
  return strings;
}

struct THuffNode {
  uint64_t Weight = 0;
  int Order = 0;
  char16_t Unit = 0;
  int Child0 = -1, Child1 = -1;  // indexes into the build list; -1 for a leaf
};

struct TTree {
  std::vector<uint8_t> Bytes;  // 6-byte nodes
  std::map<char16_t, std::vector<bool>> Codes;
  std::vector<char16_t> Units;
};

TTree BuildTree(const std::map<char16_t, uint64_t>& weights) {
  std::vector<THuffNode> nodes;
  auto cmp = [&nodes](int a, int b) {
    if (nodes[a].Weight != nodes[b].Weight) return nodes[a].Weight > nodes[b].Weight;
    return nodes[a].Order > nodes[b].Order;
  };
  std::priority_queue<int, std::vector<int>, decltype(cmp)> queue(cmp);
  for (const auto& [unit, weight] : weights) {
    nodes.push_back({weight, int(nodes.size()), unit, -1, -1});
    queue.push(int(nodes.size()) - 1);
  }
  while (queue.size() > 1) {
    const int a = queue.top();
    queue.pop();
    const int b = queue.top();
    queue.pop();
    nodes.push_back({nodes[a].Weight + nodes[b].Weight, int(nodes.size()), 0, a, b});
    queue.push(int(nodes.size()) - 1);
  }
  // Number the nodes breadth first from the root, which gets index 0.
  std::vector<int> order{queue.top()};
  std::vector<int> index(nodes.size(), -1);
  index[size_t(order[0])] = 0;
  for (size_t i = 0; i < order.size(); ++i) {
    const THuffNode& n = nodes[size_t(order[i])];
    for (int child : {n.Child0, n.Child1}) {
      if (child >= 0) {
        index[size_t(child)] = int(order.size());
        order.push_back(child);
      }
    }
  }
  TTree tree;
  tree.Bytes.assign(order.size() * 6, 0);
  std::vector<std::vector<bool>> paths(nodes.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const THuffNode& n = nodes[size_t(order[i])];
    if (n.Child0 < 0) {
      Be16(tree.Bytes, i * 6, n.Unit);
      tree.Codes[n.Unit] = paths[size_t(order[i])];
      tree.Units.push_back(n.Unit);
    } else {
      Be16(tree.Bytes, i * 6, 0xFFFF);
      Be16(tree.Bytes, i * 6 + 2, uint32_t(index[size_t(n.Child1)]));
      Be16(tree.Bytes, i * 6 + 4, uint32_t(index[size_t(n.Child0)]));
      paths[size_t(n.Child0)] = paths[size_t(order[i])];
      paths[size_t(n.Child0)].push_back(false);
      paths[size_t(n.Child1)] = paths[size_t(order[i])];
      paths[size_t(n.Child1)].push_back(true);
    }
  }
  return tree;
}

// The coded strings: groups of four on byte boundaries, each string its units' codes and the end code,
// a closing empty string behind the last; trailing zero bytes dropped down to the byte holding the
// last string's last bit; padded so the stream ends on a 4-byte boundary of the image.
struct TStream {
  std::vector<uint8_t> Bytes;
  std::vector<uint32_t> GroupStarts;
};

TStream EncodeStream(const std::vector<std::u16string>& strings, const TTree& tree, uint32_t streamOffset) {
  std::vector<bool> bits;
  TStream out;
  size_t lastEnd = 0;
  auto put = [&](char16_t unit) {
    const auto& code = tree.Codes.at(unit);
    bits.insert(bits.end(), code.begin(), code.end());
  };
  const size_t n = strings.size();
  for (size_t i = 0; i <= n; ++i) {
    if (i % 4 == 0 && i < n) {
      while (bits.size() % 8 != 0) bits.push_back(false);
      out.GroupStarts.push_back(uint32_t(bits.size() / 8));
    }
    if (i < n) {
      for (char16_t u : strings[i]) put(u);
    }
    put(0);
    if (i + 1 == n) lastEnd = bits.size();
  }
  std::vector<uint8_t> bytes((bits.size() + 7) / 8, 0);
  for (size_t i = 0; i < bits.size(); ++i) {
    if (bits[i]) bytes[i / 8] |= uint8_t(0x80 >> (i % 8));
  }
  size_t length = bytes.size();
  while (length > (lastEnd + 7) / 8 && bytes[length - 1] == 0) --length;
  bytes.resize(length);
  while ((streamOffset + bytes.size()) % 4 != 0) bytes.push_back(0);
  out.Bytes = std::move(bytes);
  return out;
}

void Fill(std::vector<uint8_t>& v, size_t from, size_t to, std::mt19937& rng) {
  for (size_t i = from; i < to; ++i) v[i] = uint8_t(rng());
}

}  // namespace

TGenPack GenerateLangPack(const TGenPackPlan& plan) {
  std::mt19937 rng(plan.Seed);
  TGenPack pack;
  pack.Base = plan.Base;
  const uint32_t base = plan.Base;
  const size_t count = plan.Languages.size();

  // Blocks: count, lengthener, 12 bytes the uninterpreted words point into, stream, tree, group table,
  // 8 * lengthener bytes.
  std::vector<std::vector<uint8_t>> blocks, itaps;
  for (size_t k = 0; k < count; ++k) {
    TGenLanguage lang;
    lang.Plan = plan.Languages[k];
    lang.Strings = MakeStrings(lang.Plan, rng);
    std::map<char16_t, uint64_t> weights;
    for (const auto& s : lang.Strings)
      for (char16_t u : s) ++weights[u];
    weights[0] += lang.Strings.size() + 1;
    for (int i = 0; i < lang.Plan.UnusedLeaves; ++i) weights[char16_t(0x2600 + i)] = 1;
    if (weights.size() < 2) weights[u'?'] = 1;
    const TTree tree = BuildTree(weights);
    lang.TreeUnits = tree.Units;

    const uint32_t streamRel = 16;
    // The block's offset in the image is a multiple of 4, so stream alignment only needs relative offsets.
    const TStream stream = EncodeStream(lang.Strings, tree, streamRel);
    const size_t treeBytes = (tree.Bytes.size() + 3) & ~size_t{3};
    const size_t groupBytes = 4 * ((lang.Strings.size() + 3) / 4);
    const size_t tableRel = streamRel + stream.Bytes.size() + treeBytes;
    const size_t endRel = tableRel + groupBytes;
    std::vector<uint8_t> block(endRel + 8 * size_t(lang.Plan.Lengthener), 0);
    Be16(block, 0, uint32_t(lang.Strings.size()));
    Be16(block, 2, lang.Plan.Lengthener);
    Fill(block, 4, 16, rng);
    std::copy(stream.Bytes.begin(), stream.Bytes.end(), block.begin() + streamRel);
    const size_t treeRel = streamRel + stream.Bytes.size();
    std::copy(tree.Bytes.begin(), tree.Bytes.end(), block.begin() + long(treeRel));
    for (size_t g = 0; g < stream.GroupStarts.size(); ++g)
      Be32(block, tableRel + 4 * g, stream.GroupStarts[g]);
    Fill(block, endRel, block.size(), rng);
    lang.BlockSize = uint32_t(block.size());
    lang.Stream = streamRel;
    lang.Tree = uint32_t(treeRel);
    lang.Groups = uint32_t(tableRel);
    blocks.push_back(std::move(block));

    std::vector<uint8_t> itap;
    if (lang.Plan.ITap) {
      const uint32_t length = 8 + (rng() % 200);
      itap.assign(((length + 20) + 7) & ~size_t{7}, 0);
      Be32(itap, 0, length);
      Fill(itap, 4, itap.size(), rng);
      lang.ITapSize = uint32_t(itap.size());
    }
    itaps.push_back(std::move(itap));
    pack.Languages.push_back(std::move(lang));
  }

  // Layout: header area, a region before the languages, the blocks, the last language's iTap, the
  // other iTaps, a trailer.
  const uint32_t before = 1024;
  const uint32_t firstBlock = before + 64;
  uint32_t at = firstBlock;
  for (size_t k = 0; k < count; ++k) {
    pack.Languages[k].Block = at;
    at += pack.Languages[k].BlockSize;
  }
  std::vector<size_t> itapOrder;
  if (count > 0) itapOrder.push_back(count - 1);
  for (size_t k = 0; k + 1 < count; ++k) itapOrder.push_back(k);
  for (size_t k : itapOrder) {
    if (pack.Languages[k].ITapSize == 0) continue;
    pack.Languages[k].ITap = at;
    at += pack.Languages[k].ITapSize;
  }
  const uint32_t trailer = at;
  const uint32_t size = trailer + 13 + rng() % 60;

  std::vector<uint8_t>& image = pack.Image;
  image.assign(size, 0);
  Fill(image, 0, 20, rng);
  Be32(image, 0, base | 0x1234);
  Le32(image, 20, uint32_t(count));
  Fill(image, 576, 1022, rng);
  Fill(image, 1022, firstBlock, rng);
  Fill(image, trailer, size, rng);
  for (size_t k = 0; k < count; ++k) {
    TGenLanguage& lang = pack.Languages[k];
    std::copy(blocks[k].begin(), blocks[k].end(), image.begin() + lang.Block);
    if (lang.ITapSize) std::copy(itaps[k].begin(), itaps[k].end(), image.begin() + lang.ITap);
    lang.Stream += lang.Block;
    lang.Tree += lang.Block;
    lang.Groups += lang.Block;

    const size_t e = 24 + 48 * k;
    Le32(image, e, lang.Plan.ID);
    const uint32_t words[12] = {
        0,
        base + lang.Stream,
        base + lang.Groups,
        base + lang.Tree,
        lang.ITapSize ? base + lang.ITap + (lang.Plan.ITapLowBits ? 2u : 0u) : 0u,
        base + lang.Block + 4,
        base + lang.Block + lang.BlockSize - 8 * uint32_t(lang.Plan.Lengthener),
        base + lang.Block + 8,
        base + lang.Block + 12,
        k % 2 ? 0u : base + lang.Block + 4,
        base + lang.Block,
        base + lang.Block + 2,
    };
    for (int w = 1; w < 12; ++w) Be32(image, e + 4 * size_t(w), words[w]);

    lang.Lng.assign(48, 0);
    Le32(lang.Lng, 0, lang.Plan.ID);
    for (int w = 1; w < 12; ++w) {
      uint32_t v = words[w] == 0 ? 0xFFFFFFFFu : words[w] - base - lang.Block + 48;
      if (w == 4 && lang.ITapSize) v = 48 + lang.BlockSize;
      Le32(lang.Lng, 4 * size_t(w), v);
    }
    lang.Lng.insert(lang.Lng.end(), blocks[k].begin(), blocks[k].end());
    lang.Lng.insert(lang.Lng.end(), itaps[k].begin(), itaps[k].end());
  }

  // Header pointer words 126 to 143: targets before, inside (never the last language, whose removal
  // and re-insertion must restore the image) and behind the languages, and two words that are not
  // addresses inside the image.
  std::vector<TGenPointer> pointers;
  for (int i = 0; i < 3; ++i) pointers.push_back({0, before + uint32_t(rng() % 64), -1});
  for (size_t k = 0; k + 1 < count; ++k) {
    const TGenLanguage& lang = pack.Languages[k];
    uint32_t target = lang.Block + 4 + uint32_t(rng() % 12);
    if (k % 3 == 1) target = lang.Stream + uint32_t(rng() % (lang.Tree - lang.Stream));
    if (k % 3 == 2 && lang.ITapSize) target = lang.ITap;
    pointers.push_back({0, target, int(k)});
  }
  while (pointers.size() < 16) pointers.push_back({0, trailer + uint32_t(rng() % (size - trailer)), -1});
  uint32_t word = 504;
  for (auto& p : pointers) {
    p.WordOffset = word;
    Be32(image, word, base + p.Target);
    word += 4;
  }
  Be32(image, word, 0);
  Be32(image, word + 4, base - 0x100);
  pack.Pointers = std::move(pointers);
  return pack;
}

std::string TGenPack::Manifest() const {
  std::ostringstream out;
  out << "base " << std::hex << Base << std::dec << "\nsize " << Image.size() << "\nlanguages "
      << Languages.size() << "\n";
  for (size_t k = 0; k < Languages.size(); ++k) {
    const TGenLanguage& l = Languages[k];
    out << "language " << k << " id " << l.Plan.ID << " strings " << l.Strings.size() << " block " << l.Block
        << " blocksize " << l.BlockSize << " stream " << l.Stream << " tree " << l.Tree << " groups "
        << l.Groups << " itap " << l.ITap << " itapsize " << l.ITapSize << " treeunits " << l.TreeUnits.size()
        << "\n";
  }
  for (const TGenPointer& p : Pointers) {
    out << "pointer " << p.WordOffset << " target " << p.Target << " language " << p.Language << "\n";
  }
  return out.str();
}

namespace {

TGenPackPlan MakePlan(uint32_t seed, int languages, int minStrings, int spread) {
  TGenPackPlan plan;
  plan.Seed = seed;
  std::mt19937 rng(seed * 7919u + 1);
  const uint32_t ids[] = {1, 35, 5, 7, 2, 6, 4, 31, 11, 43};
  const TAlphabet alphabets[] = {TAlphabet::Ascii, TAlphabet::Cyrillic, TAlphabet::Cjk};
  for (int k = 0; k < languages; ++k) {
    TGenLanguagePlan l;
    l.ID = ids[k % 10];
    // Counts of every remainder mod 4 among the languages.
    l.Strings = minStrings / 4 * 4 + int(rng() % uint32_t(spread)) / 4 * 4 + k % 4;
    l.Alphabet = alphabets[k % 3];
    if (l.Alphabet == TAlphabet::Cjk && minStrings < 100) l.AlphabetSize = 300;
    l.ITap = k % 2 == 1 || k == languages - 1;
    l.ITapLowBits = l.ITap && k % 4 == 1 && k != languages - 1;
    // At least 1: the address in word 6 then lies inside the block, never on the next block's start.
    l.Lengthener = uint16_t(1 + k % 3);
    plan.Languages.push_back(l);
  }
  return plan;
}

}  // namespace

TGenPackPlan LargeLangPackPlan(uint32_t seed, int languages) {
  return MakePlan(seed, languages, 2000, 4000);
}

TGenPackPlan SmallLangPackPlan(uint32_t seed, int languages) {
  return MakePlan(seed, languages, 9, 40);
}

std::vector<uint8_t> GenerateLoopingLangPack(uint32_t streamBytes) {
  const uint32_t base = 0x10A40000;
  const uint32_t strings = 65535;
  const uint32_t block = 1024, stream = block + 4;
  const uint32_t tree = stream + std::max<uint32_t>(streamBytes, 1);
  const uint32_t groups = tree + 2 * 6;  // two nodes
  const uint32_t end = groups + 4 * ((strings + 3) / 4);
  std::vector<uint8_t> v(end, 0);
  Be32(v, 0, base);
  Le32(v, 20, 1);
  const size_t e = 24;
  Le32(v, e, 1);                      // word 0: ID
  Be32(v, e + 4, base + stream);      // word 1: stream
  Be32(v, e + 8, base + groups);      // word 2: group table, all offsets 0
  Be32(v, e + 12, base + tree);       // word 3: tree
  Be32(v, e + 24, base + end);        // word 6: block end
  Be32(v, e + 40, base + block);      // word 10: block
  Be32(v, e + 44, base + block + 2);  // word 11: lengthener, 0
  Be16(v, block, strings);
  v[tree - 1] = 0x0F;  // the last four bits: four end codes
  // Node 0: bit 1 to node 1, bit 0 back to itself. Node 1: the end code's leaf.
  Be16(v, tree, 0xFFFF);
  Be16(v, tree + 2, 1);
  Be16(v, tree + 4, 0);
  return v;
}
