#!/usr/bin/env bash
# shellcheck disable=SC2317 # the fault functions are called by name, not directly
# Shows what the test suite catches. Applies a fixed list of deliberate faults
# to a scratch copy of the sources, one at a time; for each it rebuilds (one
# scratch build folder, so only what the fault touches is compiled again),
# runs the tests that should catch it on a virtual X server with Mesa's
# software renderer, and prints a table of the faults caught and not caught.
#
# A fault is a set of exact text substitutions. If any of its texts is no
# longer found exactly once in the file, the fault is reported as
# "not applied" (the sources moved on and the list needs updating), never as
# caught. A fault that does not compile is reported as "build failed".
#
# It takes long (a rebuild and a test run per fault), so it is not part of
# scripts/run-tests.sh. Exits non-zero if a fault is not caught, not applied
# or does not build.
#
# Usage: scripts/mutation-check.sh [--all-tests] [--dry-run] [--keep] [fault-name...]
#   --all-tests  run the whole suite for every fault instead of its subset
#   --dry-run    only check that every fault still applies; no build, no tests
#   --keep       keep the scratch folder (its path is printed)
#   fault-name   check only the named faults (default: every fault)
# Environment: KORVANE_JOBS (parallel compile jobs, default 2),
#              KORVANE_MUTATION_DIR (scratch folder, default a new one in
#              the system's temporary directory).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${KORVANE_JOBS:-2}
allTests=0
dryRun=0
keep=0
only=()
for arg in "$@"; do
    case $arg in
    --all-tests) allTests=1 ;;
    --dry-run) dryRun=1 ;;
    --keep) keep=1 ;;
    -h | --help)
        sed -n '3,/^set /{/^#/s/^# \{0,1\}//p}' "${BASH_SOURCE[0]}"
        exit 0
        ;;
    -*)
        echo "mutation-check: unknown option $arg" >&2
        exit 2
        ;;
    *) only+=("$arg") ;;
    esac
done

scratch=${KORVANE_MUTATION_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/korvane-mutation.XXXXXX")}
src=$scratch/src
build=$scratch/build
saved=$scratch/saved # each changed file as it was before the fault
if [[ $keep == 0 && -z ${KORVANE_MUTATION_DIR:-} ]]; then
    trap 'rm -rf "$scratch"' EXIT
else
    echo "scratch folder: $scratch"
fi

# The tracked files as they stand in the working tree, edits included. A
# scratch folder kept from an earlier run gets only the files that differ, so
# its build stays incremental, and loses those that are gone since, which a
# source glob would otherwise still find.
mkdir -p "$src" "$build"
declare -A tracked=()
while IFS= read -r -d '' file; do
    [[ -f $root/$file ]] || continue
    tracked[$file]=1
    if ! cmp -s "$root/$file" "$src/$file"; then
        mkdir -p "$(dirname "$src/$file")"
        cp "$root/$file" "$src/$file"
    fi
done < <(git -C "$root" ls-files -z)
while IFS= read -r -d '' file; do
    [[ -n ${tracked[${file#"$src"/}]:-} ]] || rm -f "$file"
done < <(find "$src" -type f -print0)

# ---------------------------------------------------------------------------
# The faults. Each is a function that calls `change FILE OLD NEW` once per
# substitution, then `tests REGEX` with the CTest names that should catch it.

applied=1
testRegex=
changedFiles=()

change() {
    local file=$src/$1 old=$2 new=$3
    if [[ ! -f $file ]]; then
        applied=0
        return
    fi
    local text rest
    text=$(<"$file")
    rest=${text#*"$old"}
    if [[ $rest == "$text" || $rest == *"$old"* ]]; then
        applied=0 # not found, or found more than once
        return
    fi
    if [[ " ${changedFiles[*]} " != *" $1 "* ]]; then
        mkdir -p "$(dirname "$saved/$1")"
        cp "$file" "$saved/$1"
        changedFiles+=("$1")
    fi
    printf '%s\n' "${text/"$old"/"$new"}" >"$file"
}

tests() { testRegex=$1; }

faults=()
fault() { faults+=("$1"); }

# Frame (src/scene)
fault frame_light_projection_read_after_pop
frame_light_projection_read_after_pop() { # two steps of the frame swapped
    change src/scene/render.cpp $'    glGetFloatv(GL_PROJECTION_MATRIX, lightProjection);\n\n    glMatrixMode(GL_PROJECTION);\n    glPopMatrix();' \
        $'    glMatrixMode(GL_PROJECTION);\n    glPopMatrix();\n    glGetFloatv(GL_PROJECTION_MATRIX, lightProjection);'
    tests '^(RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault frame_clear_colour_before_window_clear
frame_clear_colour_before_window_clear() {
    change src/scene/render.cpp $'    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);\n    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);' \
        $'    glClearColor(0.2f, 0.3f, 0.8f, 1.0f);\n    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);'
    tests '^(RenderTest|ShadowImageTest|CaptureTest|WindowTest|WindowManagerTest)\.'
}
fault frame_light_pass_front_face_ccw
frame_light_pass_front_face_ccw() {
    change src/scene/render.cpp 'glFrontFace(GL_CW);' 'glFrontFace(GL_CCW);'
    tests '^(RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault frame_light_eye_point_moved
frame_light_eye_point_moved() {
    change src/scene/frameViews.cpp 'glTranslatef(-25.0f, -50.0f, -25.0f);' 'glTranslatef(-25.0f, -45.0f, -25.0f);'
    tests '^(RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault frame_debug_normals_quad_misplaced
frame_debug_normals_quad_misplaced() {
    change src/scene/render.cpp 'showTexture(2, width, height, 512.0f, 384.0f, 0.0f, 384.0f);' \
        'showTexture(2, width, height, 512.0f, 384.0f, 512.0f, 384.0f);'
    tests '^(RenderTest|RenderTargetTest|CaptureTest|WindowTest|WindowManagerTest)\.'
}

# Animation and scene build (src/scene)
fault update_sphere_rotation_wrap_removed
update_sphere_rotation_wrap_removed() {
    change src/scene/update.cpp 'return degrees >= 360.0f ? std::fmod(degrees, 360.0f) : degrees;' 'return degrees;'
    tests '^(Update|UpdateAfterInitScene)Test\.'
}
fault update_first_update_from_boot
update_first_update_from_boot() {
    change src/scene/initScene.cpp '    appState.lastTick = GetTickCount();' '    appState.lastTick = 0;'
    tests '^(Update|UpdateAfterInitScene|SceneBuild)Test\.'
}
fault scene_upper_box_moved
scene_upper_box_moved() {
    change src/scene/initScene.cpp 'addModel<CubeModel>(1, 1.0f, "data/box.raw", -1.0f, 3.0f, -1.0f);' \
        'addModel<CubeModel>(1, 1.0f, "data/box.raw", -1.0f, 3.0f, 1.0f);'
    tests '^(SceneBuildTest|RenderTest|CaptureTest)\.'
}

# Shading (src/shading)
fault gbuffer_position_texture_8bit
gbuffer_position_texture_8bit() { # a G-buffer texture in the wrong format
    change src/shading/FBORenderTexture.cpp 'attachTexture(GL_RGBA32F_ARB, GL_FLOAT,' 'attachTexture(GL_RGBA, GL_FLOAT,'
    tests '^(RenderTargetTest|ShadowImageTest|RenderTest|DeferredRenderingTest|CaptureTest)\.'
}
fault gbuffer_draw_buffers_not_selected_at_creation
gbuffer_draw_buffers_not_selected_at_creation() {
    change src/shading/FBORenderTexture.cpp $'    glDrawBuffers(3, colourAttachments);\n\n    if (glCheckFramebufferStatusEXT' \
        $'    if (glCheckFramebufferStatusEXT'
    tests '^(RenderTargetTest|ShadowImageTest|RenderTest|DeferredRenderingTest|CaptureTest)\.'
}
fault composite_wrong_uniform_name
composite_wrong_uniform_name() {
    change src/shading/DeferredRendering.cpp '"tShadowMap"' '"tShadowmap"'
    tests '^(DeferredRenderingTest|RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault shadow_map_half_size
shadow_map_half_size() {
    change src/shading/ShadowMapFBO.cpp 'width(1024), height(1024)' 'width(512), height(512)'
    tests '^(RenderTargetTest|RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault program_link_check_removed
program_link_check_removed() {
    change src/shading/GLSLProgram.cpp '    if (linked == 0) {' '    if (false) {'
    tests '^(GLSLProgramTest|ModelDrawContractTest|DeferredRenderingTest|Korvane/ShaderFaultTest)\.'
}
fault shader_log_not_fetched
shader_log_not_fetched() {
    change src/shading/GLSLProgram.cpp '    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);' ''
    tests '^(GLSLProgramTest|Korvane/ShaderFaultTest)\.'
}

# Shaders (data)
fault shader_shadow_comparison_inverted
shader_shadow_comparison_inverted() {
    change data/deferredRendering.frag 'float lit = (litWeight + levelShare) /' \
        'float lit = (blockedWeight + levelShare) /'
    tests '^(RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault shader_bias_removed
shader_bias_removed() {
    change data/deferredRendering.frag 'float bias = constantBias + slopeBias * (abs(gradient.x) + abs(gradient.y));' \
        'float bias = 0.0;'
    tests '^(RenderTest|ShadowImageTest|CaptureTest)\.'
}

fault shader_plain_reads_one_texel_off
shader_plain_reads_one_texel_off() { # the filter without gather reads a block one texel off
    change data/deferredRendering.frag '    ivec2 first = ivec2(base) - 1;' '    ivec2 first = ivec2(base);'
    tests '^(ShadowImageTest\.WithoutTextureGather|no-gather\.ShadowImageTest\.)'
}

# Models (src/drawables)
fault cube_face_texture_mirrored
cube_face_texture_mirrored() {
    change src/drawables/CubeModel.cpp $'    {0, 0, 0, 0, 1, -1, -1, 1},\n    {1, 0, 0, 0, 1, 1, -1, 1},\n    {1, 1, 0, 0, 1, 1, 1, 1},\n    {0, 1, 0, 0, 1, -1, 1, 1},' \
        $'    {1, 0, 0, 0, 1, -1, -1, 1},\n    {0, 0, 0, 0, 1, 1, -1, 1},\n    {0, 1, 0, 0, 1, 1, 1, 1},\n    {1, 1, 0, 0, 1, -1, 1, 1},'
    tests '^(ModelGeometryTest|ModelDrawContractTest|RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault plane_winding_reversed
plane_winding_reversed() {
    change src/drawables/PlaneModel.cpp $'    glTexCoord2f(0.0f, 0.0f);\n    glNormal3f(0.0f, 1.0f, 0.0f);\n    glVertex3f(-1.0f, 0.0f, 1.0f);' \
        $'    glTexCoord2f(1.0f, 1.0f);\n    glNormal3f(0.0f, 1.0f, 0.0f);\n    glVertex3f(1.0f, 0.0f, -1.0f);'
    change src/drawables/PlaneModel.cpp $'    glTexCoord2f(1.0f, 1.0f);\n    glNormal3f(0.0f, 1.0f, 0.0f);\n    glVertex3f(1.0f, 0.0f, -1.0f);\n    glEnd();' \
        $'    glTexCoord2f(0.0f, 0.0f);\n    glNormal3f(0.0f, 1.0f, 0.0f);\n    glVertex3f(-1.0f, 0.0f, 1.0f);\n    glEnd();'
    tests '^(ModelGeometryTest|ModelDrawContractTest|RenderTest|ShadowImageTest|CaptureTest)\.'
}
fault sphere_coarser_tessellation
sphere_coarser_tessellation() {
    change src/drawables/SphereModel.cpp 'tessellation(64)' 'tessellation(32)'
    tests '^(ModelGeometryTest|ModelDrawContractTest|RenderTest)\.'
}
fault loader_reads_one_byte_past_the_file
loader_reads_one_byte_past_the_file() {
    change src/drawables/loadTexture.cpp '3u * static_cast<std::size_t>(side) * static_cast<std::size_t>(side) > bytesRead)' \
        '3u * static_cast<std::size_t>(side) * static_cast<std::size_t>(side) > bytesRead + 1)'
    tests '^(LoadTextureTest|InjectedFailureTest|TextureFaultTest)\.'
}

# Shell (src/shell)
fault f2_mapped_to_f3
f2_mapped_to_f3() {
    change src/shell/WndProc.cpp 'case VK_F2:' 'case VK_F3:'
    tests '^(WindowProcedure|WindowTest)\.'
}
fault wm_size_ignored
wm_size_ignored() {
    change src/shell/WndProc.cpp '        resize(LOWORD(lParam), HIWORD(lParam));' '        (void)lParam;'
    tests '^(WindowProcedure|Resize|Startup|WindowManagerTest|WindowTest)\.'
}
fault close_message_does_not_end_the_loop
close_message_does_not_end_the_loop() {
    change src/shell/WndProc.cpp $'    case WM_DESTROY:\n        PostQuitMessage(0);' $'    case WM_DESTROY:'
    tests '^(WindowProcedure|Startup|WindowManagerTest)\.'
}
fault camera_field_of_view_changed
camera_field_of_view_changed() {
    change src/shell/resize.cpp 'gluPerspective(40.0, aspect, 1.0, 30.0);' 'gluPerspective(45.0, aspect, 1.0, 30.0);'
    tests '^(Resize|RenderTest|CaptureTest)\.'
}
fault startup_size_from_the_client_area
startup_size_from_the_client_area() {
    change src/shell/initGL.cpp '    resize(1024, 768);' '    resize(1016, 741);'
    tests '^Startup\.'
}
fault draw_buffers_feature_not_checked
draw_buffers_feature_not_checked() {
    change src/shell/checkGLFeatures.cpp $'    if (!glDrawBuffers)\n        return "glDrawBuffers (OpenGL 2.0)";' ''
    tests '^EachFeature/FeatureCheck\.'
}
fault startup_failure_exits_zero
startup_failure_exits_zero() {
    change src/shell/WinMain.cpp 'const int startupFailed = 1;' 'const int startupFailed = 0;'
    tests '^(EachStep/StartupFailure|NoDisplayTest|Korvane/ShaderFaultTest)\.'
}
fault shader_log_left_out_of_the_report
shader_log_left_out_of_the_report() {
    change src/shell/WinMain.cpp '    reportStartupFailure(failure, details);' '    reportStartupFailure(failure);'
    tests '^(SceneFailure|Korvane/ShaderFaultTest)\.'
}
fault log_control_bytes_written_as_they_are
log_control_bytes_written_as_they_are() {
    change src/shell/printableDetails.cpp "        if ((c >= 0x20 && c < 0x7F) || c == '\\t') {" '        if (c < 0x80) {'
    tests '^SceneFailure\.'
}
fault long_log_not_cut
long_log_not_cut() {
    change src/shell/printableDetails.cpp 'const std::size_t maxDetailLines = 40;' 'const std::size_t maxDetailLines = 4000;'
    tests '^SceneFailure\.'
}
fault context_deleted_before_the_renderer
context_deleted_before_the_renderer() {
    change src/shell/shutdown.cpp $'    if (appState.deferredRendering)\n        delete appState.deferredRendering;\n' ''
    change src/shell/shutdown.cpp $'    ReleaseDC(appState.hWnd, appState.hDC);' \
        $'    ReleaseDC(appState.hWnd, appState.hDC);\n    if (appState.deferredRendering)\n        delete appState.deferredRendering;'
    tests '^(Shutdown|SceneFailure|Startup)\.'
}

# Platform layer (src/platform)
fault minimise_reports_the_old_size
minimise_reports_the_old_size() { # minimise not giving 0 x 0
    change src/platform/x11_message.cpp 'postMessage(w->handle, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));' \
        'postMessage(w->handle, WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(w->width, w->height));'
    tests '^(MessageTest|UnderWindowManager|WindowManagerTest)\.'
}
fault window_manager_close_ignored
window_manager_close_ignored() {
    change src/platform/x11_message.cpp 'postMessage(w->handle, WM_SYSCOMMAND, SC_CLOSE, 0);' '(void)w;'
    tests '^(MessageTest|UnderWindowManager|WindowManagerTest)\.'
}
fault function_keys_shifted
function_keys_shifted() {
    change src/platform/x11_message.cpp 'return VK_F1 + static_cast<int>(keysym - XK_F1);' \
        'return VK_F1 + 1 + static_cast<int>(keysym - XK_F1);'
    tests '^(MessageTest|WindowTest)\.'
}

# ---------------------------------------------------------------------------

restore() {
    local file
    for file in "${changedFiles[@]}"; do
        # A plain copy gives the file a new time, so the next build compiles
        # it again.
        cp "$saved/$file" "$src/$file"
    done
    changedFiles=()
}

if ((${#only[@]} > 0)); then
    for name in "${only[@]}"; do
        [[ " ${faults[*]} " == *" $name "* ]] || {
            echo "mutation-check: no fault named $name" >&2
            exit 2
        }
    done
    faults=("${only[@]}")
fi

if [[ $dryRun == 1 ]]; then
    bad=0
    for name in "${faults[@]}"; do
        applied=1
        changedFiles=()
        "$name"
        restore
        if [[ $applied == 1 ]]; then
            echo "$name: applies"
        else
            echo "$name: not applied"
            bad=1
        fi
    done
    exit $bad
fi

export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe
log=$scratch/logs
mkdir -p "$log"

echo "building the unchanged sources in $build"
cmake -S "$src" -B "$build" -DKORVANE_BUILD_TESTS=ON >"$log/configure.txt" 2>&1
if ! cmake --build "$build" -j"$jobs" >"$log/build.txt" 2>&1; then
    echo "mutation-check: the unchanged sources do not build; see $log/build.txt" >&2
    exit 1
fi

rows=()
bad=0
caught=0
for name in "${faults[@]}"; do
    applied=1
    testRegex=
    changedFiles=()
    "$name"
    if [[ $applied == 0 ]]; then
        restore
        rows+=("$name|-|not applied")
        bad=1
        echo "$name: not applied"
        continue
    fi
    if ! cmake --build "$build" -j"$jobs" >"$log/$name.build.txt" 2>&1; then
        restore
        rows+=("$name|-|build failed")
        bad=1
        echo "$name: build failed"
        continue
    fi
    selection=(-R "$testRegex")
    [[ $allTests == 1 ]] && selection=()
    status=0
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        ctest --test-dir "$build" "${selection[@]}" --timeout 120 --no-tests=error \
        >"$log/$name.tests.txt" 2>&1 || status=$?
    total=$(sed -nE 's/.* tests? failed out of ([0-9]+).*/\1/p' "$log/$name.tests.txt" | tail -n 1)
    failed=$(sed -nE 's/.*, ([0-9]+) tests? failed out of.*/\1/p' "$log/$name.tests.txt" | tail -n 1)
    restore
    if [[ -z $total ]]; then
        rows+=("$name|-|no tests ran")
        bad=1
        echo "$name: no tests ran"
    elif [[ $status != 0 && ${failed:-0} -gt 0 ]]; then
        rows+=("$name|$total ($failed failed)|caught")
        caught=$((caught + 1))
        echo "$name: caught by $failed of $total"
    else
        rows+=("$name|$total|NOT caught")
        bad=1
        echo "$name: NOT caught ($total run)"
    fi
done

# The build folder is left holding the unchanged sources' objects again.
cmake --build "$build" -j"$jobs" >"$log/build-after.txt" 2>&1 || true

echo
printf '| %-48s | %-16s | %-12s |\n' "fault" "tests run" "result"
printf '|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..50})" "$(printf -- '-%.0s' {1..18})" "$(printf -- '-%.0s' {1..14})"
for row in "${rows[@]}"; do
    IFS='|' read -r name run result <<<"$row"
    printf '| %-48s | %-16s | %-12s |\n' "$name" "$run" "$result"
done
echo
echo "$caught of ${#faults[@]} faults caught"
exit $bad
