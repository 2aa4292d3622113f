// The reader against pugixml on one generated document of about 20 MB: reading the
// bytes into a document, then walking every element and reading its attributes and
// text. Prints the ratio of the two at the end.
#include <benchmark/benchmark.h>

#include <pugixml.hpp>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "xml/XmlDocument.h"

namespace {

// Groups of keys, each key with five attributes and a text with a reference.
const std::string& Document() {
    static const std::string doc = [] {
        std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<layout>\n";
        for (int g = 0; s.size() < 20'000'000; ++g) {
            s += "  <group id=\"" + std::to_string(g) + "\">\n";
            for (int k = 0; k < 4; ++k) {
                s += "    <key name=\"Key " + std::to_string(k) + " &amp; caf\xC3\xA9\" vkcode=\"0x" +
                     std::to_string(40 + k) + "\" buttontip=\"Tip for key " + std::to_string(g) +
                     "\" CRect=\"10,20,110,60\" kstatus=\"1\">Text &lt;" + std::to_string(k) + "&gt;</key>\n";
            }
            s += "    <!-- group end -->\n  </group>\n";
        }
        return s + "</layout>\n";
    }();
    return doc;
}

void ReaderLoadAndWalk(benchmark::State& state) {
    const std::string& text = Document();
    auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    for (auto _ : state) {
        XmlDocument doc;
        doc.LoadBytes(bytes);
        std::size_t sum = 0;
        doc.Rewind();
        doc.NextChildElement(u"group");
        doc.EnterElement();
        do {
            while (doc.NextChildElement(u"")) {
                sum += doc.ChildAttribute(u"name").size() + doc.ChildAttribute(u"vkcode").size() +
                       doc.ChildAttribute(u"CRect").size() + doc.ChildText().size();
            }
        } while (doc.NextElement(u"group"));
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReaderLoadAndWalk)->Unit(benchmark::kMillisecond);

void PugixmlLoadAndWalk(benchmark::State& state) {
    const std::string& text = Document();
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
        std::size_t sum = 0;
        for (pugi::xml_node group : doc.document_element().children("group"))
            for (pugi::xml_node key : group.children())
                sum += std::strlen(key.attribute("name").value()) + std::strlen(key.attribute("vkcode").value()) +
                       std::strlen(key.attribute("CRect").value()) + std::strlen(key.child_value());
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(PugixmlLoadAndWalk)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's times per iteration (the median when repeated) for the
// closing ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double real = 0, cpu = 0;
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration || r.aggregate_name == "median")
                m_times[r.run_name.function_name] = {r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, Times> m_times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("document: %zu bytes\n", Document().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto reader = reporter.m_times["ReaderLoadAndWalk"], pugi = reporter.m_times["PugixmlLoadAndWalk"];
    if (pugi.real > 0 && pugi.cpu > 0)
        std::printf("reader / pugixml: %.2f real time, %.2f CPU time\n", reader.real / pugi.real,
                    reader.cpu / pugi.cpu);
    benchmark::Shutdown();
    return 0;
}
