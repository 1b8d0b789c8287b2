// rv_textfit CATALOGUE.mo...: refuses (exit 1) every catalogue one of whose texts would
// leave the space the match draws it in, or holds a line break, naming each such text.

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

#include "game/gfx/text.h"
#include "game/match/text_fit.h"
#include "lang/catalogue.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: rv_textfit CATALOGUE.mo...\n";
    return 2;
  }
  std::string error;
  const std::unique_ptr<rv::TextRenderer> text = rv::TextRenderer::Open(&error);
  if (!text) {
    std::cerr << "rv_textfit: " << error << "\n";
    return 2;
  }
  int refused = 0;
  for (int i = 1; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto words = in ? rv::Catalogue::Parse(bytes, &error) : std::nullopt;
    if (!in || !words) {
      std::cerr << argv[i] << ": cannot read the catalogue " << error << "\n";
      ++refused;
      continue;
    }
    for (const std::string& problem : rv::TextsThatDoNotFit(*words, *text)) {
      std::cerr << argv[i] << ": " << problem << "\n";
      ++refused;
    }
  }
  return refused == 0 ? 0 : 1;
}
