// Parameter definitions ("PluginParameters") as the manager reads them.
#include "FuzzSupport.h"
#include "framework/ParameterManager.h"
#include "framework/XmlFiles.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    FuzzSupport::startJuce();

    if (auto xml = parseUntrustedXml (FuzzSupport::asText (data, size), stateXmlLimits))
    {
        ParameterManager manager;
        manager.parseParameterDefinitions (*xml);

        for (int i = 0; i < manager.getNumParameters(); ++i)
        {
            auto* p = manager.getParameterAt (i);
            p->setValueFromText (p->getText(), false);
            p->setNormalisedValue (p->getNormalisedValue(), false);
        }
    }

    return 0;
}
