#include "app/startup.h"

#include "folder/datafolder.h"
#include "pedgroups/install.h"
#include "search/gamesearch.h"

namespace startup {

Answer read(const Question &question)
{
    Answer answer;
    if (question.saved) {
        answer.gone = datafolder::isGone(question.folder);
        if (!answer.gone) {
            answer.installed = pedgroups::installedGroup(question.folder);
            return answer;
        }
    }
    answer.found = gamesearch::installedGame();
    return answer;
}

} // namespace startup
