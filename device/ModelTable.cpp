#include "device/ModelTable.h"

namespace tessel {

std::vector<ModelEntry> MakeModelTable() {
    return {
        {L"Kb Alder", L"2E8B", L"0A11"},    {L"Kb AlderRGB", L"2E8B", L"0A12"},
        {L"Kb BirchRGB", L"2E8B", L"0A21"}, {L"Kb Cedar", L"2E8B", L"0A31"},
        {L"Ms Dove", L"2E8B", L"0A41"},     {L"Ms Dove", L"2E8B", L"0A51"},
    };
}

}  // namespace tessel
