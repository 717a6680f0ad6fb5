#include "options.h"

#include "core/pattern.h"

namespace tovaro::cli {

const char* const kUsage
    = "Aufruf: tovaro-gen [OPTIONEN] [DATEI...]\n"
      "Erzeugt eine Suchseite für die angegebenen HTML-Dateien.\n"
      "\n"
      "Dateien:\n"
      "  DATEI                    eine HTML-Datei für den Index\n"
      "      --files-from PFAD    Dateien aus PFAD lesen, eine je Zeile (- ist die\n"
      "                           Standardeingabe)\n"
      "      --tree VERZ          alle Dateien unterhalb von VERZ, deren Pfad zum Filter passt\n"
      "      --filter MUSTER      Filter für --tree (Standard: *.ht*)\n"
      "\n"
      "Ausgabe:\n"
      "  -o, --output PFAD        Suchdatei (Standard: lookup.htm)\n"
      "  -s, --site-dir VERZ      Stammverzeichnis der Website (Standard: der Ordner der\n"
      "                           Suchdatei)\n"
      "  -w, --web-root URL       Adresse des Stammverzeichnisses auf dem Webserver\n"
      "\n"
      "Aussehen:\n"
      "      --heading TEXT       Überschrift (Standard: Tovaro Suche)\n"
      "      --font-face TEXT     Schriftart (Standard: Arial, Helvetica, sans-serif)\n"
      "      --font-size TEXT     Schriftgröße 1 bis 7 (Standard: 3)\n"
      "      --text-colour CODE   Textfarbe (Standard: #000000)\n"
      "      --background-colour CODE  Hintergrundfarbe (Standard: #FFFFE1)\n"
      "\n"
      "      --strict             Exit-Status 3, wenn eine Datei unvollständig oder nicht\n"
      "                           lesbar ist\n"
      "  -h, --help               diese Hilfe anzeigen\n"
      "      --version            Programmname und Version anzeigen\n"
      "\n"
      "Exit-Status: 0 Erfolg, 1 Suchdatei nicht geschrieben (oder --tree/--files-from\n"
      "nicht lesbar), 2 falscher Aufruf, 3 unvollständige oder nicht lesbare Dateien\n"
      "(mit --strict), 4 Suchdatei geschrieben, aber die Standardausgabe schlug fehl.\n";

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
        if (a == "-h" || a == "--help") {
            o.help = true;
            continue;
        }
        if (a == "--strict") {
            o.strict = true;
            continue;
        }
        if (a == "--version") {
            o.version = true;
            continue;
        }

        // Options with a value: "--name VALUE", "--name=VALUE" or "-x VALUE".
        std::string name = a;
        std::string value;
        bool inlineValue = false;
        if (a.rfind("--", 0) == 0) {
            size_t eq = a.find('=');
            if (eq != std::string::npos) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                inlineValue = true;
            }
        }
        static const char* const kWithValue[] = { "-o", "--output", "-s", "--site-dir", "-w",
            "--web-root", "--files-from", "--tree", "--filter", "--heading", "--font-face",
            "--font-size", "--text-colour", "--background-colour" };
        bool known = false;
        for (const char* k : kWithValue)
            known = known || name == k;
        if (!known) {
            r.ok = false;
            r.error = "Unbekannte Option: " + a;
            return r;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                r.ok = false;
                r.error = "Der Option " + name + " fehlt ihr Wert.";
                return r;
            }
            value = args[++i];
        }

        if (name == "-o" || name == "--output")
            o.output = value;
        else if (name == "-s" || name == "--site-dir")
            o.siteDir = value;
        else if (name == "-w" || name == "--web-root")
            o.webRoot = value;
        else if (name == "--files-from")
            o.sources.push_back({ FileSource::Kind::FilesFrom, value });
        else if (name == "--tree")
            o.sources.push_back({ FileSource::Kind::Tree, value });
        else if (name == "--filter")
            o.filter = value;
        else if (name == "--heading")
            o.appearance.heading = value;
        else if (name == "--font-face")
            o.appearance.fontFace = value;
        else if (name == "--font-size")
            o.appearance.fontSize = value;
        else if (name == "--text-colour")
            o.appearance.textColour = value;
        else if (name == "--background-colour")
            o.appearance.backgroundColour = value;
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
