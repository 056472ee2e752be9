#include "passTiming.h"

const char *const passNames[passCount] = {"shadow", "G-buffer", "composite"};

namespace {

struct PassTiming {
    bool on = false;
    GLuint shadowMapFramebuffer = 0;
    GLuint gBufferFramebuffer = 0;
    GLuint queries[passCount] = {};
    bool timed[passCount] = {}; // this frame's query of the pass has ended
    int running = -1;           // the pass whose query runs, or -1
    PFNGLBINDFRAMEBUFFEREXTPROC realBind = nullptr;
};

PassTiming timing;

void beginPass(int pass) {
    glBeginQuery(GL_TIME_ELAPSED, timing.queries[pass]);
    timing.running = pass;
}

void endPass() {
    if (timing.running < 0)
        return;
    glEndQuery(GL_TIME_ELAPSED);
    timing.timed[timing.running] = true;
    timing.running = -1;
}

// Stands in for glBindFramebufferEXT while passes are timed. A pass's query
// ends before the window is bound again and begins once its target is bound,
// so it holds only the pass's own commands.
void GLAPIENTRY timedBindFramebuffer(GLenum target, GLuint framebuffer) {
    const int ending = timing.running;
    endPass();
    timing.realBind(target, framebuffer);
    if (framebuffer == timing.shadowMapFramebuffer) {
        // The light pass opens the frame.
        for (bool &timed : timing.timed)
            timed = false;
        beginPass(shadowPass);
    } else if (framebuffer == timing.gBufferFramebuffer) {
        beginPass(gBufferPass);
    } else if (framebuffer == 0 && ending == gBufferPass) {
        beginPass(compositePass);
    }
}

GLuint64 queryResult(GLuint query) {
    GLuint64 nanoseconds = 0;
    if (glGetQueryObjectui64v)
        glGetQueryObjectui64v(query, GL_QUERY_RESULT, &nanoseconds);
    else
        glGetQueryObjectui64vEXT(query, GL_QUERY_RESULT, &nanoseconds);
    return nanoseconds;
}

} // namespace

#ifndef _WIN32
// The frame's swap, reached through the linker (--wrap=SwapBuffers): the
// composite's query ends right before it.
extern "C" BOOL __real_SwapBuffers(HDC hDC);
extern "C" BOOL __wrap_SwapBuffers(HDC hDC) {
    if (timing.on && timing.running == compositePass)
        endPass();
    return __real_SwapBuffers(hDC);
}
#endif

const char *timerQueryExtension() {
    if (!glBeginQuery || !glEndQuery || !glGenQueries)
        return nullptr;
    if (GLEW_ARB_timer_query && glGetQueryObjectui64v)
        return "GL_ARB_timer_query";
    if (GLEW_EXT_timer_query && glGetQueryObjectui64vEXT)
        return "GL_EXT_timer_query";
    return nullptr;
}

bool startPassTiming(GLuint shadowMapFramebuffer, GLuint gBufferFramebuffer) {
#ifdef _WIN32
    // Without the linker's wrapping there is no end to the composite.
    (void)shadowMapFramebuffer;
    (void)gBufferFramebuffer;
    (void)timedBindFramebuffer;
    return false;
#else
    if (timing.on || !timerQueryExtension())
        return false;
    timing = PassTiming();
    timing.on = true;
    timing.shadowMapFramebuffer = shadowMapFramebuffer;
    timing.gBufferFramebuffer = gBufferFramebuffer;
    glGenQueries(passCount, timing.queries);
    // glBindFramebufferEXT is GLEW's pointer to the driver's function.
    timing.realBind = __glewBindFramebufferEXT;
    __glewBindFramebufferEXT = timedBindFramebuffer;
    return true;
#endif
}

void stopPassTiming() {
    if (!timing.on)
        return;
    endPass();
    __glewBindFramebufferEXT = timing.realBind;
    glDeleteQueries(passCount, timing.queries);
    timing = PassTiming();
}

bool readPassTimes(double milliseconds[passCount]) {
    if (!timing.on)
        return false;
    for (int pass = 0; pass < passCount; ++pass) {
        if (!timing.timed[pass])
            return false;
        milliseconds[pass] = static_cast<double>(queryResult(timing.queries[pass])) / 1.0e6;
    }
    return true;
}
