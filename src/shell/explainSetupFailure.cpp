#include <exception>

#include "shading/ShaderBuildError.h"
#include "shell/shell.h"

bool explainSetupFailure(const std::function<void()> &build, std::string &message,
                         std::string &details) {
    try {
        build();
        return true;
    } catch (std::exception *error) {
        message = error->what();
        details = shaderBuildDetailsOf(*error);
        delete error;
    } catch (const std::exception &error) {
        message = error.what();
        details.clear();
    }
    return false;
}
