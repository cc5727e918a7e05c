// The Spanish catalog as the Studio reads it: compiled by msgfmt (the .mo that wxWidgets
// loads), every translation keeps the blanks, the program's name and the ellipsis of its
// English, and the Studio's words come out in Spanish while the names scripts rely on stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "studio/texts.h"

namespace quillon::studio {
namespace {

// The catalog as the build compiled it, when gettext was there to compile it.
#ifdef QUILLON_STUDIO_ES_MO
constexpr const char* kSpanishMo = QUILLON_STUDIO_ES_MO;
#else
constexpr const char* kSpanishMo = nullptr;
#endif

using Catalog = std::map<std::string, std::string>;

// Reads a GNU .mo file: a header of 32-bit words (magic, revision, count, offsets of the two
// tables of length and offset pairs), in the byte order the magic word shows.
Catalog ReadMo(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Catalog catalog;
  if (data.size() < 20)
    return catalog;
  const auto word = [&](size_t at, bool swap) {
    uint32_t w = 0;
    if (at + 4 <= data.size())
      std::memcpy(&w, data.data() + at, 4);
    return swap ? __builtin_bswap32(w) : w;
  };
  const bool swap = word(0, false) != 0x950412deu;
  if (word(0, swap) != 0x950412deu)
    return catalog;
  const uint32_t count = word(8, swap), originals = word(12, swap), translations = word(16, swap);
  const auto text = [&](uint32_t table, uint32_t i) {
    const uint32_t length = word(table + 8 * i, swap), offset = word(table + 8 * i + 4, swap);
    return offset <= data.size() && length <= data.size() - offset
               ? data.substr(offset, length)
               : std::string("<out of the file>");
  };
  for (uint32_t i = 0; i < count && originals + 8 * i < data.size(); ++i)
    catalog[text(originals, i)] = text(translations, i);
  return catalog;
}

std::set<std::string> Blanks(const std::string& text) {
  std::set<std::string> blanks;
  const std::regex blank("\\{[A-Za-z]+\\}");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), blank);
       it != std::sregex_iterator(); ++it)
    blanks.insert(it->str());
  return blanks;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class SpanishCatalog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kSpanishMo == nullptr)
      GTEST_SKIP() << "built without gettext: no compiled catalog";
    m_catalog = ReadMo(kSpanishMo);
    ASSERT_GT(m_catalog.size(), 100u) << "cannot read " << kSpanishMo;
  }

  // gettext's rule: a text the catalog lacks stays English; the test notes which.
  Texts Spanish() {
    return Texts([this](const char* english) {
      const auto found = m_catalog.find(english);
      if (found == m_catalog.end() || found->second.empty()) {
        m_missing.insert(english);
        return std::string(english);
      }
      return found->second;
    });
  }

  Catalog m_catalog;
  std::set<std::string> m_missing;
};

TEST_F(SpanishCatalog, TranslationsKeepBlanksNameAndEllipsis) {
  for (const auto& [english, spanish] : m_catalog) {
    if (english.empty())
      continue;  // the header
    EXPECT_EQ(Blanks(spanish), Blanks(english)) << english << " -> " << spanish;
    EXPECT_EQ(spanish.find("Quillon Studio") != std::string::npos,
              english.find("Quillon Studio") != std::string::npos)
        << english << " -> " << spanish;
    EXPECT_EQ(EndsWith(spanish, "\u2026"), EndsWith(english, "\u2026"))
        << english << " -> " << spanish;
    EXPECT_EQ(std::count(spanish.begin(), spanish.end(), '&'),
              std::count(english.begin(), english.end(), '&'))
        << "mnemonics: " << english << " -> " << spanish;
  }
}

TEST_F(SpanishCatalog, TheStudioSpeaksSpanish) {
  const Texts texts = Spanish();
  std::set<std::string> labels;
  for (int l = 0; l < static_cast<int>(Label::kCount); ++l)
    labels.insert(texts.Text(static_cast<Label>(l)));
  EXPECT_EQ(labels.size(), static_cast<size_t>(Label::kCount)) << "no two labels alike";
  EXPECT_EQ(texts.Text(Label::kEncrypt), "Cifrar");
  EXPECT_EQ(texts.Text(Label::kSaveShares), "Guardar capas\u2026");
  EXPECT_EQ(texts.Text(Label::kPrint), "Imprimir\u2026");
  EXPECT_EQ(texts.Text(Label::kThreshold), "Umbral");
  EXPECT_EQ(texts.MethodName(ExpansionMethod::RandomBasisColumn),
            "Columna aleatoria de la matriz base");
  EXPECT_EQ(texts.Say(Result::From(Outcome::Fail(Code::kCannotOpen, "fotos/a.png"), Role::kSecret)),
            "No se puede abrir \u201Cfotos/a.png\u201D.");
  EXPECT_EQ(
      texts.Say(Result::From(Outcome::Fail(Code::kSingleQualified).At(2))),
      "El participante 3 por s\u00ED solo es un conjunto cualificado, as\u00ED que la capa 3 "
      "mostrar\u00EDa el secreto en claro. Cambie los conjuntos o permita una capa en claro.");
  EXPECT_EQ(texts.Progress(0.42), "Cifrando\u2026 42 %");
  EXPECT_EQ(texts.PaperName("letter"), "Carta");
  EXPECT_TRUE(m_missing.empty()) << "not in the catalog: " << *m_missing.begin();

  // What scripts and window managers find the Studio by stays as it is.
  EXPECT_EQ(texts.WindowTitle("/home/ana/secreto.png"), "Quillon Studio \u2014 secreto.png");
  EXPECT_STREQ(kSchemeControlName, "Scheme");
  EXPECT_STREQ(kMethodControlName, "Method");
  EXPECT_STREQ(kParticipantsControlName, "Participants");
  EXPECT_STREQ(kThresholdControlName, "Threshold");
}

}  // namespace
}  // namespace quillon::studio
