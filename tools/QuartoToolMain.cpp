// quarto-tool: reads editions without a window and authors them (tools/QuartoTool.h).
#include "QuartoTool.h"

#include "common/CommandLine.h"

int main(int argc, char** argv) {
    quarto::UseUtf8Output();
    return quarto::RunQuartoTool(quarto::ProgramArguments(argc, argv));
}
