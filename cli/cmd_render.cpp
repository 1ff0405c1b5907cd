// dobrenz render: a feature file drawn as a PNG, SVG or PDF picture through
// cairo. It runs in dobrenz-render, built from this file beside dobrenz
// (cli/helper_program.h), so that no other command loads cairo. The Windows
// build has no cairo and says so.
#include <cstdio>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"

#if defined(DZ_RENDER_PROGRAM) || defined(DZ_WITH_GIS)
#include "cli/helper_program.h"
#endif
#if defined(DZ_RENDER_PROGRAM)
#include "export/survey_layers.h"
#include "render/map_renderer.h"
#endif

namespace dz::cli {
namespace {

#if defined(DZ_RENDER_PROGRAM)

constexpr int kMinSide = 64;
constexpr int kMaxSide = 16000;

void parseSize(const std::string& text, render::RenderOptions& options) {
  size_t at = 0;
  auto number = [&](int& out) {
    const size_t start = at;
    long long v = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && v <= kMaxSide) v = v * 10 + (text[at++] - '0');
    out = static_cast<int>(v);
    return at > start;
  };
  int w = 0, h = 0;
  const bool ok = number(w) && at < text.size() && (text[at] == 'x' || text[at] == 'X') && (++at, number(h)) &&
                  at == text.size();
  if (!ok || w < kMinSide || h < kMinSide || w > kMaxSide || h > kMaxSide)
    throw UsageError{"--size " + text + ": expected WIDTHxHEIGHT, each from " + std::to_string(kMinSide) + " to " +
                     std::to_string(kMaxSide) + ", such as 1600x1200"};
  options.width = w;
  options.height = h;
}

render::Labels labelsOf(const std::string& word) {
  if (word == "names") return render::Labels::Names;
  if (word == "all") return render::Labels::All;
  return render::Labels::None;
}

int runRender(const Options& options) {
  const std::string& qelPath = options.operands()[0];
  const std::string& out = options.operands()[1];
  render::PictureFormat format;
  if (!render::pictureFormatOf(out, format)) throw UsageError{out + ": the picture's name must end in .png, .svg or .pdf"};
  render::RenderOptions renderOptions;
  parseSize(options.value("size"), renderOptions);
  renderOptions.labels = labelsOf(options.value("labels"));
  renderOptions.overwrite = options.has("overwrite");

  FeatureStore store;
  std::string error;
  if (!gis::loadFeatureFile(qelPath, store, error)) {
    printError("dobrenz render: " + error);
    return kExitFailure;
  }
  const gis::SurveyLayers layers = gis::buildSurveyLayers(store);
  const render::RenderResult result = render::renderSurvey(layers, out, renderOptions);
  if (!result.ok) {
    printError("dobrenz render: " + qelPath + ": " + result.message);
    return kExitFailure;
  }
  if (layers.danglingFeatures > 0)
    printError("dobrenz render: " + std::to_string(layers.danglingFeatures) +
               (layers.danglingFeatures == 1 ? " feature names a point" : " features name points") + " that " +
               qelPath + " does not hold: not drawn");
  const char* unit = format == render::PictureFormat::Png ? "pixels" : "points";
  std::printf("drawn to %s: %dx%d %s, %.4g %s per map unit, font %s\n", out.c_str(), renderOptions.width,
              renderOptions.height, unit, result.transform.scale(), unit, result.fontFamily.c_str());
  return kExitOk;
}

#elif defined(DZ_WITH_GIS)

int runRender(const Options& options) { return handOver("dobrenz-render", renderCommand(), options); }

#else

int runRender(const Options&) {
#ifdef _WIN32
  printError("render is not available in the Windows build: it draws through cairo, which only the Linux build "
             "of dobrenz has; run 'dobrenz render' there.");
#else
  printError("render is not available in this build: it was configured without cairo (DZ_GIS=OFF).");
#endif
  return kExitFailure;
}

#endif

}  // namespace

const Command& renderCommand() {
  static const Command command{
      "render",
      "draw a feature file as a PNG, SVG or PDF picture",
      "Draws the feature file, north up and fitted to its extent: parcels lightly filled\n"
      "with their number, houses hatched with structure and floors, lines coloured by code,\n"
      "points as crosses, text objects in a Chinese font, a scale bar and a north arrow.\n"
      "The picture's extension chooses PNG, SVG or PDF. Linux only.",
      {
          textOption("size", "WxH", "pixels (PNG) or points (SVG, PDF), each side 64 to 16000").byDefault("1600x1200"),
          choiceOption("labels", "none|names|all",
                       "none: parcel numbers and house labels only; names: and point names; all: and the codes "
                       "of points and lines")
              .byDefault("none"),
          overwriteOption(),
      },
      "FILE.qel OUT.png|OUT.svg|OUT.pdf",
      "a feature file and a picture to write",
      runRender,
  };
  return command;
}

}  // namespace dz::cli

#if defined(DZ_RENDER_PROGRAM)
int main(int argc, char** argv) {
  return dz::cli::runHelperProgram(dz::cli::renderCommand(), "dobrenz-render", argc, argv);
}
#endif
