#include "Forms.h"

Forms &forms() {
    static Forms f;
    return f;
}
