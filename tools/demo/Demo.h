#pragma once

#include <functional>
#include <string>
#include <vector>

namespace olm::demo {

// A demo page renders itself into the output directory and returns the paths it wrote.
using Page = std::function<std::vector<std::string>(const std::string& outDir)>;

// Registers a page at static-initialisation time; pages run in name order.
struct PageRegistration {
    PageRegistration(std::string name, Page page);
};

} // namespace olm::demo

#define OLM_DEMO_PAGE_CAT2(a, b) a##b
#define OLM_DEMO_PAGE_CAT(a, b) OLM_DEMO_PAGE_CAT2(a, b)
#define OLM_DEMO_PAGE(name, fn) \
    static const ::olm::demo::PageRegistration OLM_DEMO_PAGE_CAT(olmDemoPage_, __LINE__){name, fn}
