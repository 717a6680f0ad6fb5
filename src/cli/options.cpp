#include "options.h"

#include "core/pattern.h"

#include <functional>

namespace tovaro::cli {

namespace {

// One option of the command line: its names, whether it takes a value (and how the help calls
// it), what it sets and its help text. The table drives the parser and the usage text alike.
struct OptionSpec {
    const char* group; ///< the usage section it is listed under
    const char* shortName; ///< "-o", or nullptr
    const char* longName; ///< "--output"
    const char* valueName; ///< "PFAD", or nullptr for an option without a value
    std::function<void(Options&, const std::string&)> set;
    std::string help;
};

const std::vector<OptionSpec>& Table()
{
    static const Appearance defaults;
    static const Options defaultOptions;
    static const std::vector<OptionSpec> table = {
        { "Dateien", nullptr, "--files-from", "PFAD",
            [](Options& o, const std::string& v) {
                o.sources.push_back({ FileSource::Kind::FilesFrom, v });
            },
            "Dateien aus PFAD lesen, eine je Zeile (- ist die Standardeingabe)" },
        { "Dateien", nullptr, "--tree", "VERZ",
            [](Options& o, const std::string& v) {
                o.sources.push_back({ FileSource::Kind::Tree, v });
            },
            "alle Dateien unterhalb von VERZ, deren Pfad zum Filter passt" },
        { "Dateien", nullptr, "--filter", "MUSTER",
            [](Options& o, const std::string& v) { o.filter = v; },
            "Filter für --tree (Standard: " + defaultOptions.filter + ")" },
        { "Ausgabe", "-o", "--output", "PFAD",
            [](Options& o, const std::string& v) { o.output = v; },
            "Suchdatei (Standard: " + defaultOptions.output + ")" },
        { "Ausgabe", "-s", "--site-dir", "VERZ",
            [](Options& o, const std::string& v) { o.siteDir = v; },
            "Stammverzeichnis der Website (Standard: der Ordner der Suchdatei)" },
        { "Ausgabe", "-w", "--web-root", "URL",
            [](Options& o, const std::string& v) { o.webRoot = v; },
            "Adresse des Stammverzeichnisses auf dem Webserver" },
        { "Aussehen", nullptr, "--heading", "TEXT",
            [](Options& o, const std::string& v) { o.appearance.heading = v; },
            "Überschrift (Standard: " + defaults.heading + ")" },
        { "Aussehen", nullptr, "--font-face", "TEXT",
            [](Options& o, const std::string& v) { o.appearance.fontFace = v; },
            "Schriftart (Standard: " + defaults.fontFace + ")" },
        { "Aussehen", nullptr, "--font-size", "TEXT",
            [](Options& o, const std::string& v) { o.appearance.fontSize = v; },
            "Schriftgröße 1 bis 7 (Standard: " + defaults.fontSize + ")" },
        { "Aussehen", nullptr, "--text-colour", "CODE",
            [](Options& o, const std::string& v) { o.appearance.textColour = v; },
            "Textfarbe (Standard: " + defaults.textColour + ")" },
        { "Aussehen", nullptr, "--background-colour", "CODE",
            [](Options& o, const std::string& v) { o.appearance.backgroundColour = v; },
            "Hintergrundfarbe (Standard: " + defaults.backgroundColour + ")" },
        { "Suche", nullptr, "--spelling-variants", nullptr,
            [](Options& o, const std::string&) { o.search.spellingVariants = true; },
            "Schreibweisen gleichsetzen: ä = ae, ß = ss, é = e" },
        { "", nullptr, "--strict", nullptr, [](Options& o, const std::string&) { o.strict = true; },
            "Exit-Status 3, wenn eine Datei unvollständig, nicht lesbar oder außerhalb des "
            "Stammverzeichnisses ist" },
        { "", nullptr, "--allow-empty", nullptr,
            [](Options& o, const std::string&) { o.allowEmpty = true; },
            "auch dann eine Suchseite schreiben, wenn die Angaben keine Datei auswählen" },
        { "", "-h", "--help", nullptr, [](Options& o, const std::string&) { o.help = true; },
            "diese Hilfe anzeigen" },
        { "", nullptr, "--version", nullptr,
            [](Options& o, const std::string&) { o.version = true; },
            "Programmname und Version anzeigen" },
    };
    return table;
}

const OptionSpec* Find(const std::string& name)
{
    for (const OptionSpec& spec : Table()) {
        if (name == spec.longName || (spec.shortName != nullptr && name == spec.shortName))
            return &spec;
    }
    return nullptr;
}

// Appends `text` folded at blanks to lines of at most 88 columns, the first line starting at
// column `column`, the others indented to column 27.
void AppendFolded(std::string& out, size_t column, const std::string& text)
{
    const size_t indent = 27;
    if (column < indent) {
        out.append(indent - column, ' ');
        column = indent;
    } else {
        out.append("  ");
        column += 2;
    }
    bool first = true;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(' ', pos);
        if (end == std::string::npos)
            end = text.size();
        const size_t word = end - pos;
        if (!first && column + 1 + word > 88) {
            out.append("\n").append(indent, ' ');
            column = indent;
        } else if (!first) {
            out.push_back(' ');
            ++column;
        }
        out.append(text, pos, word);
        column += word;
        first = false;
        pos = end + 1;
    }
    out.push_back('\n');
}

std::string MakeUsage()
{
    std::string out = "Aufruf: tovaro-gen [OPTIONEN] [DATEI...]\n"
                      "Erzeugt eine Suchseite für die angegebenen HTML-Dateien.\n";
    std::string group = "-";
    for (const OptionSpec& spec : Table()) {
        if (group != spec.group) {
            group = spec.group;
            out += group.empty() ? "\n" : "\n" + group + ":\n";
            if (group == "Dateien")
                out += "  DATEI                    eine HTML-Datei für den Index\n";
        }
        std::string names = spec.shortName != nullptr
            ? std::string("  ") + spec.shortName + ", " + spec.longName
            : std::string("      ") + spec.longName;
        if (spec.valueName != nullptr)
            names += std::string(" ") + spec.valueName;
        out += names;
        // Columns count characters, not bytes.
        size_t column = 0;
        for (char c : names)
            column += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        AppendFolded(out, column, spec.help);
    }
    out += "\nExit-Status: 0 Erfolg, 1 Suchdatei nicht geschrieben (auch: keine Datei ausgewählt,\n"
           "--tree/--files-from nicht lesbar, Stammverzeichnis fehlt), 2 falscher Aufruf (auch:\n"
           "keine Eingabe), 3 unvollständige, nicht lesbare oder außerhalb liegende Dateien (mit\n"
           "--strict), 4 Suchdatei geschrieben, aber die Standardausgabe schlug fehl.\n";
    return out;
}

} // namespace

const std::string& Usage()
{
    static const std::string usage = MakeUsage();
    return usage;
}

const char* const kVersion = "tovaro-gen (Tovaro Wizard) 1.0.0\n";

ParseResult ParseOptions(const std::vector<std::string>& args)
{
    ParseResult r;
    Options& o = r.options;
    bool onlyFiles = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyFiles || a.empty() || a[0] != '-' || a == "-") {
            o.sources.push_back({ FileSource::Kind::File, a });
            continue;
        }
        if (a == "--") {
            onlyFiles = true;
            continue;
        }
        // "--name VALUE", "--name=VALUE" or "-x VALUE".
        std::string name = a;
        std::string value;
        bool inlineValue = false;
        const size_t eq = a.find('=');
        if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            inlineValue = true;
        }
        const OptionSpec* spec = Find(name);
        if (spec == nullptr || (spec->valueName == nullptr && inlineValue)) {
            r.ok = false;
            r.error = "Unbekannte Option: " + a;
            return r;
        }
        if (spec->valueName != nullptr && !inlineValue) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                r.error = "Der Option " + name + " fehlt ihr Wert.";
                return r;
            }
            value = args[++i];
        }
        spec->set(o, value);
    }
    if (o.output.empty()) {
        r.ok = false;
        r.error = "Der Name der Suchdatei darf nicht leer sein.";
    } else if (!PathPattern(o.filter).IsValid()) {
        r.ok = false;
        r.error = "Ungültiges Muster für --filter: " + o.filter
            + " (eine Liste \"[\" ohne \"]\" oder ein Bereich wie \"z-a\")";
    }
    return r;
}

} // namespace tovaro::cli
