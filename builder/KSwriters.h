// The writers of the builder variables that stand for lists: the generation
// run calls these while a template is expanded. Each writes its lines into
// out.Output(); the placeholder itself is replaced by nothing.
#pragma once

#include "builder/KSindexDataWriter.h"  // WriteIndexData
#include "builder/KSindexKeysWriter.h"  // WriteIndexKeys
#include "builder/KSnameListWriter.h"   // WriteNameList
#include "builder/KSnavigationLink.h"   // NavigationLink: LINKFIRST, LINKPREV, LINKNEXT, LINKLAST
#include "builder/KSreportListWriter.h" // WriteReportList
