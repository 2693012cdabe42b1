/*
    Build-time tool: writes the plug-in's two built-in preset files from plain tables.

    - default.vlprs, the empty preset: a "Preset" element named "empty" whose values come
      from a table of "parameter name<TAB>value" lines;
    - default.vlprsb, the factory bank: a "PresetBank" of "PresetGroup" elements, built from
      a table of "group<TAB>preset name<TAB>value 0<TAB>...<TAB>value 17" lines, the groups in
      the order in which they first appear.

    The parameter names and their order are read from parameters.xml. Lines starting with '#'
    and blank lines of the tables are skipped. Values are written as the tables spell them.
    An output whose text has not changed is left alone, so nothing downstream rebuilds.

    usage: velcroft_make_presets <parameters.xml> <empty-preset.tsv> <factory-bank.tsv> <output folder>
*/
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace MakePresetsDetail
{
const char* const applicationName = "Velcroft";
const char* const presetRevision = "1";
const char* const emptyPresetName = "empty";
const char* const bankName = "Velcroft Default Bank";

struct Preset
{
    std::string name;
    std::vector<std::string> values;
};

struct Group
{
    std::string name;
    std::vector<Preset> presets;
};

//==============================================================================
std::string readFile (const std::string& path)
{
    std::ifstream in (path, std::ios::binary);

    if (! in)
        throw std::runtime_error ("cannot read " + path);

    return std::string ((std::istreambuf_iterator<char> (in)), std::istreambuf_iterator<char>());
}

/** Leaves the file alone when it already holds exactly this text. */
void writeFileIfChanged (const std::string& path, const std::string& text)
{
    {
        std::ifstream existing (path, std::ios::binary);

        if (existing)
        {
            std::string old ((std::istreambuf_iterator<char> (existing)), std::istreambuf_iterator<char>());

            if (old == text)
                return;
        }
    }

    // Written beside and renamed into place, so a failed write keeps the previous file.
    const auto temporary = path + ".tmp";

    {
        std::ofstream out (temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();

        if (! out)
            throw std::runtime_error ("cannot write " + temporary);
    }

    if (std::rename (temporary.c_str(), path.c_str()) != 0)
    {
        std::remove (temporary.c_str());
        throw std::runtime_error ("cannot replace " + path);
    }
}

//==============================================================================
std::string unescapeXml (const std::string& text)
{
    static const std::pair<const char*, char> entities[] = {
        { "&amp;", '&' }, { "&quot;", '"' }, { "&apos;", '\'' }, { "&lt;", '<' }, { "&gt;", '>' }
    };

    std::string out;

    for (size_t i = 0; i < text.size();)
    {
        bool replaced = false;

        if (text[i] == '&')
        {
            for (auto& e : entities)
            {
                const std::string entity (e.first);

                if (text.compare (i, entity.size(), entity) == 0)
                {
                    out += e.second;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }

        if (! replaced)
            out += text[i++];
    }

    return out;
}

std::string escapeXml (const std::string& text)
{
    std::string out;

    for (auto c : text)
    {
        switch (c)
        {
            case '&':  out += "&amp;"; break;
            case '"':  out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            case '<':  out += "&lt;"; break;
            case '>':  out += "&gt;"; break;
            default:   out += c; break;
        }
    }

    return out;
}

/** The name="..." attribute of every "param" element of the parameter definitions, in order. */
std::vector<std::string> readParameterNames (const std::string& xml)
{
    std::vector<std::string> names;

    for (size_t pos = 0; (pos = xml.find ('<', pos)) != std::string::npos;)
    {
        if (xml.compare (pos, 4, "<!--") == 0)
        {
            const auto end = xml.find ("-->", pos + 4);
            pos = end == std::string::npos ? xml.size() : end + 3;
            continue;
        }

        const auto tagEnd = xml.find ('>', pos);

        if (tagEnd == std::string::npos)
            break;

        const auto tag = xml.substr (pos, tagEnd - pos);
        pos = tagEnd + 1;

        if (tag.compare (0, 6, "<param") != 0 || tag.size() < 7
            || ! (tag[6] == ' ' || tag[6] == '\t' || tag[6] == '\n' || tag[6] == '\r' || tag[6] == '/'))
            continue;

        const auto attribute = tag.find (" name=\"");

        if (attribute == std::string::npos)
            throw std::runtime_error ("a param element without a name: " + tag);

        const auto start = attribute + 7;
        const auto end = tag.find ('"', start);

        if (end == std::string::npos)
            throw std::runtime_error ("an unterminated name: " + tag);

        names.push_back (unescapeXml (tag.substr (start, end - start)));
    }

    if (names.empty())
        throw std::runtime_error ("no parameters defined");

    return names;
}

//==============================================================================
std::vector<std::string> splitTabs (const std::string& line)
{
    std::vector<std::string> cells;
    size_t start = 0;

    for (;;)
    {
        const auto tab = line.find ('\t', start);
        cells.push_back (line.substr (start, tab == std::string::npos ? std::string::npos : tab - start));

        if (tab == std::string::npos)
            return cells;

        start = tab + 1;
    }
}

/** The table's data lines, each split at its tabs; a trailing carriage return is dropped. */
std::vector<std::vector<std::string>> readTable (const std::string& path)
{
    std::istringstream in (readFile (path));
    std::vector<std::vector<std::string>> rows;

    for (std::string line; std::getline (in, line);)
    {
        if (! line.empty() && line.back() == '\r')
            line.pop_back();

        if (line.empty() || line[0] == '#')
            continue;

        rows.push_back (splitTabs (line));
    }

    return rows;
}

/** Throws unless the whole text is a plain decimal number. */
void checkValue (const std::string& value, const std::string& where)
{
    char* end = nullptr;
    std::strtod (value.c_str(), &end);

    if (value.empty() || end != value.c_str() + value.size()
        || value.find_first_not_of ("0123456789.-") != std::string::npos)
        throw std::runtime_error ("not a number: \"" + value + "\" in " + where);
}

Preset readEmptyPreset (const std::string& path, const std::vector<std::string>& parameterNames)
{
    Preset preset { emptyPresetName, std::vector<std::string> (parameterNames.size()) };
    std::vector<bool> given (parameterNames.size(), false);

    for (auto& row : readTable (path))
    {
        if (row.size() != 2)
            throw std::runtime_error (path + ": expected a name and a value per line");

        size_t index = 0;

        while (index < parameterNames.size() && parameterNames[index] != row[0])
            ++index;

        if (index == parameterNames.size())
            throw std::runtime_error (path + ": unknown parameter \"" + row[0] + "\"");

        if (given[index])
            throw std::runtime_error (path + ": \"" + row[0] + "\" given twice");

        checkValue (row[1], path);
        preset.values[index] = row[1];
        given[index] = true;
    }

    for (size_t i = 0; i < given.size(); ++i)
        if (! given[i])
            throw std::runtime_error (path + ": no value for \"" + parameterNames[i] + "\"");

    return preset;
}

std::vector<Group> readFactoryBank (const std::string& path, size_t numParameters)
{
    std::vector<Group> groups;

    for (auto& row : readTable (path))
    {
        if (row.size() != numParameters + 2)
            throw std::runtime_error (path + ": expected a group, a name and " + std::to_string (numParameters)
                                      + " values on the line starting \"" + row[0] + "\"");

        if (row[0].empty() || row[1].empty())
            throw std::runtime_error (path + ": a row without a group or preset name");

        for (size_t i = 2; i < row.size(); ++i)
            checkValue (row[i], path + ", " + row[1]);

        Group* group = nullptr;

        for (auto& g : groups)
            if (g.name == row[0])
                group = &g;

        if (group == nullptr)
        {
            groups.push_back ({ row[0], {} });
            group = &groups.back();
        }

        group->presets.push_back ({ row[1], std::vector<std::string> (row.begin() + 2, row.end()) });
    }

    if (groups.empty())
        throw std::runtime_error (path + ": no presets");

    return groups;
}

//==============================================================================
const char* const xmlDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n";

void writePreset (std::ostringstream& out, const Preset& preset,
                  const std::vector<std::string>& parameterNames, const std::string& indent)
{
    out << indent << "<Preset application=\"" << applicationName << "\" name=\"" << escapeXml (preset.name)
        << "\" rev=\"" << presetRevision << "\">\n";

    for (size_t i = 0; i < parameterNames.size(); ++i)
        out << indent << "  <param name=\"" << escapeXml (parameterNames[i])
            << "\" value=\"" << escapeXml (preset.values[i]) << "\"/>\n";

    out << indent << "</Preset>\n";
}

std::string presetFileText (const Preset& preset, const std::vector<std::string>& parameterNames)
{
    std::ostringstream out;
    out << xmlDeclaration;
    writePreset (out, preset, parameterNames, "");
    return out.str();
}

std::string bankFileText (const std::vector<Group>& groups, const std::vector<std::string>& parameterNames)
{
    std::ostringstream out;
    out << xmlDeclaration << "<PresetBank name=\"" << escapeXml (bankName) << "\">\n";

    for (auto& group : groups)
    {
        out << "  <PresetGroup name=\"" << escapeXml (group.name) << "\">\n";

        for (auto& preset : group.presets)
            writePreset (out, preset, parameterNames, "    ");

        out << "  </PresetGroup>\n";
    }

    out << "</PresetBank>\n";
    return out.str();
}
} // namespace MakePresetsDetail

int main (int argc, char** argv)
{
    using namespace MakePresetsDetail;

    if (argc != 5)
    {
        std::fprintf (stderr, "usage: %s <parameters.xml> <empty-preset.tsv> <factory-bank.tsv> <output folder>\n", argv[0]);
        return 2;
    }

    try
    {
        const auto parameterNames = readParameterNames (readFile (argv[1]));
        const auto emptyPreset = readEmptyPreset (argv[2], parameterNames);
        const auto groups = readFactoryBank (argv[3], parameterNames.size());
        const std::string folder (argv[4]);

        writeFileIfChanged (folder + "/default.vlprs", presetFileText (emptyPreset, parameterNames));
        writeFileIfChanged (folder + "/default.vlprsb", bankFileText (groups, parameterNames));
    }
    catch (const std::exception& e)
    {
        std::fprintf (stderr, "velcroft_make_presets: %s\n", e.what());
        return 1;
    }

    return 0;
}
