// skin-compiler: makes skin files from XML sources and dumps skin files back to sources.
//
//   skin-compiler compile SOURCE.xml OUTPUT.skin [--archive] [--pictures FOLDER]
//   skin-compiler dump SKIN_FILE OUTPUT.xml
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "tools/skin_compiler/skin_compiler.h"
#include "tools/skin_compiler/skin_package.h"
#include "tools/skin_compiler/stored_zip.h"

namespace {

int usage() {
    std::cerr << "usage: skin-compiler compile SOURCE.xml OUTPUT.skin [--archive] [--pictures FOLDER]\n"
                 "       skin-compiler dump SKIN_FILE OUTPUT.xml\n"
                 "compile writes OUTPUT.skin and copies the pictures beside it (--archive: a zip of\n"
                 "stored entries holding the image first and the GIF and BMP pictures). Pictures are\n"
                 "taken from the source's folder unless --pictures names another.\n";
    return 2;
}

void print(const std::string& source, const char* kind, const std::vector<skin_compiler::Diagnostic>& list) {
    for (auto const& diagnostic : list) {
        std::cerr << source << ":" << diagnostic.line << ": " << kind << ": " << diagnostic.message << "\n";
    }
}

int compile(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return usage();
    std::filesystem::path source_file = arguments[0];
    std::filesystem::path output = arguments[1];
    std::filesystem::path pictures = source_file.parent_path();
    auto kind = skin_compiler::PackageKind::bare;
    for (std::size_t index = 2; index < arguments.size(); ++index) {
        if (arguments[index] == "--archive") {
            kind = skin_compiler::PackageKind::archive;
        } else if (arguments[index] == "--pictures" && index + 1 < arguments.size()) {
            pictures = arguments[++index];
        } else {
            return usage();
        }
    }
    std::vector<std::uint8_t> text;
    if (!skin_compiler::read_whole_file(source_file, text)) {
        std::cerr << "skin-compiler: cannot read " << source_file << "\n";
        return 1;
    }
    skin_compiler::SkinSource source;
    skin_compiler::Diagnostics diagnostics;
    auto image = skin_compiler::compile_skin(std::string(text.begin(), text.end()), pictures, source, diagnostics);
    print(source_file.string(), "warning", diagnostics.warnings);
    print(source_file.string(), "error", diagnostics.errors);
    if (!diagnostics.ok()) return 1;
    std::string problem;
    if (!skin_compiler::write_skin_package(image, source, pictures, output, kind, problem)) {
        std::cerr << "skin-compiler: " << problem << "\n";
        return 1;
    }
    return 0;
}

int dump(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) return usage();
    std::vector<std::uint8_t> bytes;
    if (!skin_compiler::read_whole_file(arguments[0], bytes)) {
        std::cerr << "skin-compiler: cannot read " << arguments[0] << "\n";
        return 1;
    }
    std::string xml;
    std::string problem;
    if (!skin_compiler::dump_skin(skin_compiler::skin_image_of_file(bytes), xml, problem)) {
        std::cerr << "skin-compiler: " << arguments[0] << " is not a valid skin: " << problem << "\n";
        return 1;
    }
    if (!skin_compiler::write_whole_file(arguments[1], std::vector<std::uint8_t>(xml.begin(), xml.end()))) {
        std::cerr << "skin-compiler: cannot write " << arguments[1] << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    std::string command = argv[1];
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (command == "compile") return compile(arguments);
    if (command == "dump") return dump(arguments);
    return usage();
}
