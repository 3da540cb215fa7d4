#include "app/startup.h"

#include "pedgroups/install.h"
#include "platform/platform.h"
#include "search/gamesearch.h"

namespace startup {

Answer read(const Question &question)
{
    Answer answer;
    if (question.saved) {
        answer.gone =
            platform::isWhole(question.folder) && !pedgroups::isDataFolder(question.folder);
        if (!answer.gone) {
            answer.installed = pedgroups::installedGroup(question.folder);
            return answer;
        }
    }
    answer.found = gamesearch::installedGame();
    return answer;
}

} // namespace startup
