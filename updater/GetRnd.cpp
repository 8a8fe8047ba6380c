#include "updater/GetRnd.h"

#include "forms/lang/Numbers.h"
#include "forms/lang/Random.h"

namespace quill::updater {

std::int16_t GetRnd(std::int16_t Rnds)
{
    if (Rnds <= 0)
        return 0;
    forms::RandomGenerator& random = forms::ProcessRandom();
    while (true) {
        random.Randomize();
        // Single precision, as the language multiplies a single by an integer.
        const float product = random.Next() * static_cast<float>(Rnds);
        const std::int16_t drawn = forms::ToInt16(product);
        if (drawn > 0 && drawn <= Rnds)
            return drawn;
    }
}

}  // namespace quill::updater
