<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>AboutBox</name>
    <message>
        <source>&lt;h3&gt;十字绣Kanvo %1&lt;/h3&gt;&lt;p&gt;把照片和图片做成十字绣图：符号、DMC绣线颜色、标尺和绣线清单。&lt;/p&gt;&lt;p&gt;Qt 版本：%2&lt;/p&gt;&lt;p&gt;许可：程序、使用说明和图标由 Kanvo 开发者制作，尚未以开发者自己的许可发布。图库中的图片和启动图片来自公有领域、CC0 和 CC BY 4.0 的作品，每一张的出处和许可列在安装的 share/doc/kanvo/copyright 文件中。&lt;/p&gt;&lt;p&gt;主页：&lt;a href=&quot;%3&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Kanvo %1&lt;/h3&gt;&lt;p&gt;Turns photos and pictures into cross-stitch charts: symbols, DMC thread colours, rulers and a thread legend.&lt;/p&gt;&lt;p&gt;Qt version: %2&lt;/p&gt;&lt;p&gt;Licence: the program, its guide and its icon are made by the Kanvo developers, who have not yet published them under a licence of their own. The gallery pictures and the start-up picture come from public-domain, CC0 and CC BY 4.0 works; the origin and licence of each are listed in the installed file share/doc/kanvo/copyright.&lt;/p&gt;&lt;p&gt;Homepage: &lt;a href=&quot;%3&quot;&gt;%3&lt;/a&gt;&lt;/p&gt;</translation>
    </message>
    <message>
        <source>关于十字绣Kanvo</source>
        <translation>About Kanvo</translation>
    </message>
</context>
<context>
    <name>ChartMode</name>
    <message>
        <source>生成绣图色块</source>
        <translation>Blocks and symbols</translation>
    </message>
    <message>
        <source>无色块绣图</source>
        <translation>Symbols only</translation>
    </message>
    <message>
        <source>仅生成色块</source>
        <translation>Blocks only</translation>
    </message>
</context>
<context>
    <name>ChartProject</name>
    <message>
        <source>以下%1种绣线不在DMC色卡中，已换成颜色最接近的DMC绣线：
</source>
        <translation>These %1 threads are not on the DMC colour card and were replaced by the nearest DMC threads:
</translation>
    </message>
    <message>
        <source>(无线号)</source>
        <translation>(no number)</translation>
    </message>
    <message>
        <source>半针%1处，回针%2处，法式结%3个，珠子%4颗：绣图中不显示，保存绣图工程时原样保留。
</source>
        <translation>%1 part stitches, %2 back stitches, %3 French knots, %4 beads: not drawn in the chart, kept unchanged when the project is saved.
</translation>
    </message>
</context>
<context>
    <name>ChartSettingsModel</name>
    <message>
        <source>绣格宽度</source>
        <translation>Block width</translation>
    </message>
    <message>
        <source>绣格高度</source>
        <translation>Block height</translation>
    </message>
    <message>
        <source>减色强度</source>
        <translation>Merge strength</translation>
    </message>
    <message>
        <source>灰度图片</source>
        <translation>Greyscale picture</translation>
    </message>
    <message>
        <source>低分辨彩色图</source>
        <translation>Low-resolution colour</translation>
    </message>
    <message>
        <source>高清黑白图片</source>
        <translation>Sharp black and white</translation>
    </message>
    <message>
        <source>高分辨彩色图</source>
        <translation>High-resolution colour</translation>
    </message>
    <message>
        <source>不做减色处理</source>
        <translation>No colour reduction</translation>
    </message>
    <message>
        <source>精选绣线</source>
        <translation>Chosen threads</translation>
    </message>
    <message>
        <source>是</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>否</source>
        <translation>No</translation>
    </message>
    <message>
        <source>“%1”不是数字：请输入 %2 到 %3 之间的数。设置未改变。</source>
        <translation>&quot;%1&quot; is not a number: enter a number from %2 to %3. The settings were not changed.</translation>
    </message>
    <message>
        <source>“%1”超出范围：请输入 %2 到 %3 之间的数。设置未改变。</source>
        <translation>&quot;%1&quot; is out of range: enter a number from %2 to %3. The settings were not changed.</translation>
    </message>
    <message>
        <source>“%1”不是整数：请输入 %2 到 %3 之间的整数。设置未改变。</source>
        <translation>&quot;%1&quot; is not a whole number: enter a whole number from %2 to %3. The settings were not changed.</translation>
    </message>
    <message>
        <source>“%1”超出范围：请输入 %2 到 %3 之间的整数。设置未改变。</source>
        <translation>&quot;%1&quot; is out of range: enter a whole number from %2 to %3. The settings were not changed.</translation>
    </message>
    <message>
        <source>给你的绣图起个名字</source>
        <translation>Give your chart a name</translation>
    </message>
</context>
<context>
    <name>ChartTexts</name>
    <message>
        <source>我的绣图</source>
        <translation>My chart</translation>
    </message>
    <message>
        <source>符号</source>
        <translation>Sym.</translation>
    </message>
    <message>
        <source>线号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Count</translation>
    </message>
    <message>
        <source>图中的符号代表了绣线颜色，这样就可以方便的绣图。</source>
        <translation>Each symbol in the chart stands for a thread colour, so the chart is easy to stitch.</translation>
    </message>
    <message>
        <source>绣线:%1  颜色数：%2   宽x高：%3x%4</source>
        <translation>Threads: %1  Colours: %2   Width x height: %3x%4</translation>
    </message>
    <message>
        <source>注:全部线量总和为%1，线量不是某种长度单位，而是针数，具体长度可根据绣布CT数进行估计.</source>
        <translation>Note: the thread amounts add up to %1. An amount is a number of stitches, not a length; estimate the length from the fabric count (CT).</translation>
    </message>
</context>
<context>
    <name>ColorIndex</name>
    <message>
        <source>    绣图颜色太多，请先点 效果预览 进行减色后再生成。。。 </source>
        <translation>    The chart has too many colours. Click Preview to reduce them, then generate again. </translation>
    </message>
    <message>
        <source>正在创建颜色索引......</source>
        <translation>Building the colour index......</translation>
    </message>
    <message>
        <source>正在计算颜色数目等信息......</source>
        <translation>Counting the colours......</translation>
    </message>
</context>
<context>
    <name>ColorReplacementModel</name>
    <message>
        <source>颜色总数：%1  替换%2 处</source>
        <translation>Colours: %1  Replaced: %2</translation>
    </message>
</context>
<context>
    <name>EditPreparation</name>
    <message>
        <source>   编辑绣图颜色前请先点击效果预览键    </source>
        <translation>   Click Preview before editing the chart colours.    </translation>
    </message>
    <message>
        <source>不能识别的位图！</source>
        <translation>Unrecognised bitmap!</translation>
    </message>
    <message>
        <source>无法创建！</source>
        <translation>Cannot create it!</translation>
    </message>
    <message>
        <source>    绣图颜色太多，请减色后再生成。。。 </source>
        <translation>    The chart has too many colours. Reduce them, then generate again. </translation>
    </message>
    <message>
        <source>绣图大小超出范围，每边只能是1到320针。</source>
        <translation>The chart size is out of range: each side must be 1 to 320 stitches.</translation>
    </message>
    <message>
        <source>Quillex 你身边的好软件</source>
        <translation>Quillex, good software at your side</translation>
    </message>
    <message>
        <source>错误！</source>
        <translation>Error!</translation>
    </message>
    <message>
        <source>开始处理...</source>
        <translation>Processing...</translation>
    </message>
</context>
<context>
    <name>PatternLayout</name>
    <message>
        <source>尺寸：%1 × %2 针</source>
        <translation>Size: %1 × %2 stitches</translation>
    </message>
    <message>
        <source>在 %1 CT 绣布上：%2 × %3 cm（%4 × %5 英寸）</source>
        <translation>On %1 count fabric: %2 × %3 cm (%4 × %5 in)</translation>
    </message>
    <message>
        <source>绣线：%1 种    针数：%2</source>
        <translation>Threads: %1    Stitches: %2</translation>
    </message>
    <message>
        <source>图纸：封面 1 页，绣线表 %1 页，绣图 %2 页</source>
        <translation>Pattern: 1 cover page, %1 key page(s), %2 chart page(s)</translation>
    </message>
    <message>
        <source>分页图</source>
        <translation>Page map</translation>
    </message>
    <message>
        <source>绣线表（%1/%2）</source>
        <translation>Thread key (%1/%2)</translation>
    </message>
    <message>
        <source>绣线表</source>
        <translation>Thread key</translation>
    </message>
    <message>
        <source>符号</source>
        <translation>Sym.</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>线号</source>
        <translation>Number</translation>
    </message>
    <message>
        <source>针数</source>
        <translation>Stitches</translation>
    </message>
    <message>
        <source>支数</source>
        <translation>Skeins</translation>
    </message>
    <message>
        <source>注：支数为估算。每针用线 = (2√2 + 2) × 格宽，格宽 = 25.4 mm ÷ 绣布 CT 数（本图 %1 CT，每针约 %2 mm）；</source>
        <translation>Note: skeins are estimated. Thread per stitch = (2√2 + 2) × cell width, cell width = 25.4 mm ÷ fabric count (here %1 count, about %2 mm per stitch);</translation>
    </message>
    <message>
        <source>两股线绣，每支 8 m 六股线可分出 3 × 8 m = 24 m 双股线；另加 20% 损耗（线头、起针、收针）。</source>
        <translation>stitched with two strands, an 8 m skein of six strands gives 3 × 8 m = 24 m of two strands; plus 20% waste (tails, starts, ends).</translation>
    </message>
    <message>
        <source>支数 = 针数 × 每针用线 × 1.2 ÷ 24 m，向上取整。针数只计需要绣的格子，空格不计。</source>
        <translation>Skeins = stitches × thread per stitch × 1.2 ÷ 24 m, rounded up. Only cells to be stitched count; empty cells do not.</translation>
    </message>
    <message>
        <source>灰色格（蓝线外）：重复前页的最后 %1 列（左边），方便对齐</source>
        <translation>Grey cells (outside the blue line): the last %1 column(s) of the previous page (left), for lining up</translation>
    </message>
    <message>
        <source>灰色格（蓝线外）：重复前页的最后 %1 行（上边），方便对齐</source>
        <translation>Grey cells (outside the blue line): the last %1 row(s) of the previous page (top), for lining up</translation>
    </message>
    <message>
        <source>灰色格（蓝线外）：重复前页的最后 %1 列（左边）和最后 %2 行（上边），方便对齐</source>
        <translation>Grey cells (outside the blue line): the last %1 column(s) (left) and the last %2 row(s) (top) of the previous pages, for lining up</translation>
    </message>
</context>
<context>
    <name>PatternPaging</name>
    <message>
        <source>第 %1/%2 页  列 %3-%4  行 %5-%6</source>
        <translation>Page %1/%2  Columns %3-%4  Rows %5-%6</translation>
    </message>
</context>
<context>
    <name>ProjectError</name>
    <message>
        <source>文件无法读取。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>文件太大，不是绣图工程文件。</source>
        <translation>The file is too large to be a chart project.</translation>
    </message>
    <message>
        <source>文件不是XML格式的绣图工程。</source>
        <translation>The file is not a chart project in XML.</translation>
    </message>
    <message>
        <source>文件中没有绣图属性(properties)。</source>
        <translation>The file has no chart properties (properties).</translation>
    </message>
    <message>
        <source>文件中没有绣线表(palette)。</source>
        <translation>The file has no thread list (palette).</translation>
    </message>
    <message>
        <source>文件中没有全针(fullstitches)。</source>
        <translation>The file has no full stitches (fullstitches).</translation>
    </message>
    <message>
        <source>绣图的宽和高必须在1到320针之间。</source>
        <translation>The chart width and height must be 1 to 320 stitches.</translation>
    </message>
    <message>
        <source>绣线表中有一种绣线既没有DMC线号，也没有颜色。</source>
        <translation>A thread in the thread list has neither a DMC number nor a colour.</translation>
    </message>
    <message>
        <source>有针脚使用了绣线表中没有的绣线。</source>
        <translation>Some stitches use a thread that is not in the thread list.</translation>
    </message>
    <message>
        <source>有针脚在绣图范围之外。</source>
        <translation>Some stitches lie outside the chart.</translation>
    </message>
    <message>
        <source>还没有生成绣图。</source>
        <translation>No chart has been generated yet.</translation>
    </message>
    <message>
        <source>文件无法写入，原有文件没有改动。</source>
        <translation>The file cannot be written; the existing file was not changed.</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ReductionPipeline</name>
    <message>
        <source>无法写入临时位图 tmppicv.bmp，减色没有进行。</source>
        <translation>The scratch bitmap tmppicv.bmp cannot be written; no colours were reduced.</translation>
    </message>
    <message>
        <source>不能识别的位图！</source>
        <translation>Unrecognised bitmap!</translation>
    </message>
    <message>
        <source>无法创建！</source>
        <translation>Cannot create it!</translation>
    </message>
    <message>
        <source>绣图效果图没有保存：</source>
        <translation>The chart preview was not saved:</translation>
    </message>
    <message>
        <source>正在处理，请稍候。</source>
        <translation>Working, please wait.</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>没有减色结果（未知的减色方法 %1）</source>
        <translation>No reduced picture (unknown reduction method %1)</translation>
    </message>
    <message>
        <source>开始处理...</source>
        <translation>Processing...</translation>
    </message>
    <message>
        <source>减色处理完毕</source>
        <translation>Colour reduction finished</translation>
    </message>
    <message>
        <source>绣图效果图保存到%1</source>
        <translation>Chart preview saved to %1</translation>
    </message>
</context>
<context>
    <name>UnsavedChangesPrompt</name>
    <message>
        <source>十字绣图Kanvo</source>
        <translation>Kanvo cross-stitch chart</translation>
    </message>
    <message>
        <source>绣图已经修改，还没有保存。要先保存为绣图工程吗？</source>
        <translation>The chart has changes that are not saved. Save it as a chart project first?</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>不保存</source>
        <translation>Don&apos;t save</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>上次没有正常退出，修改过的绣图已自动保存（%1）。要重新打开它吗？</source>
        <translation>Kanvo did not close normally last time; the edited chart was saved automatically (%1). Open it again?</translation>
    </message>
    <message>
        <source>重新打开</source>
        <translation>Reopen</translation>
    </message>
    <message>
        <source>不打开</source>
        <translation>Don&apos;t open</translation>
    </message>
</context>
<context>
    <name>WorkspaceModel</name>
    <message>
        <source>绣布：宽高%1x%2(约%3x%4厘米)</source>
        <translation>Fabric: %1x%2 stitches (about %3x%4 cm)</translation>
    </message>
    <message>
        <source>绣布：宽高156x221 </source>
        <translation>Fabric: 156x221 stitches </translation>
    </message>
</context>
<context>
    <name>kanvo::BackgroundRemovalDialog</name>
    <message>
        <source>去除背景</source>
        <translation>Remove background</translation>
    </message>
    <message>
        <source>与绣图边缘相连、颜色相近的绣格将被清空，不再绣。
在绣图上点一下可改选背景颜色。</source>
        <translation>Cells joined to the chart&apos;s edge with a colour close to the background become empty and are not stitched.
Click the chart to choose another background colour.</translation>
    </message>
    <message>
        <source>背景颜色：</source>
        <translation>Background:</translation>
    </message>
    <message>
        <source>容差：</source>
        <translation>Tolerance:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ΔE %1</source>
        <translation>ΔE %1</translation>
    </message>
    <message>
        <source>%1（点选）</source>
        <translation>%1 (clicked)</translation>
    </message>
    <message>
        <source>%1（边缘最多的绣线）</source>
        <translation>%1 (most common on the edge)</translation>
    </message>
    <message>
        <source>预览：将清空 %1 针（绣图上以紫色标出）</source>
        <translation>Preview: %1 stitches will be emptied (marked in magenta)</translation>
    </message>
</context>
<context>
    <name>kanvo::ChartEditController</name>
    <message>
        <source>橡皮</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>画笔 %1</source>
        <translation>Pencil %1</translation>
    </message>
    <message>
        <source>填充 %1</source>
        <translation>Fill %1</translation>
    </message>
    <message>
        <source>删除选区</source>
        <translation>Delete selection</translation>
    </message>
    <message>
        <source>填充选区 %1</source>
        <translation>Fill selection %1</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>去除背景（容差 %1）</source>
        <translation>Remove background (tolerance %1)</translation>
    </message>
    <message>
        <source>回针 %1</source>
        <translation>Back stitch %1</translation>
    </message>
    <message>
        <source>半针 %1</source>
        <translation>Half stitch %1</translation>
    </message>
    <message>
        <source>四分之一针 %1</source>
        <translation>Quarter stitch %1</translation>
    </message>
    <message>
        <source>法式结 %1</source>
        <translation>French knot %1</translation>
    </message>
    <message>
        <source>回针</source>
        <translation>Back stitch</translation>
    </message>
    <message>
        <source>珠子</source>
        <translation>Bead</translation>
    </message>
    <message>
        <source>法式结</source>
        <translation>French knot</translation>
    </message>
    <message>
        <source>四分之一针</source>
        <translation>Quarter stitch</translation>
    </message>
    <message>
        <source>半针</source>
        <translation>Half stitch</translation>
    </message>
    <message>
        <source>四分之三针</source>
        <translation>Three-quarter stitch</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
</context>
<context>
    <name>kanvo::ChartNavigationBar</name>
    <message>
        <source>适合窗口</source>
        <translation>Fit to window</translation>
    </message>
    <message>
        <source>第%1行 第%2列  %3</source>
        <translation>Row %1, column %2  %3</translation>
    </message>
    <message>
        <source>空</source>
        <translation>empty</translation>
    </message>
    <message>
        <source>缩放 %1%</source>
        <translation>Zoom %1%</translation>
    </message>
</context>
<context>
    <name>kanvo::ChartPrinter</name>
    <message>
        <source>打印绣图</source>
        <translation>Print chart</translation>
    </message>
    <message>
        <source>    打印异常，请确认您的打印机已经就绪。     </source>
        <translation>    Printing failed. Make sure your printer is ready.     </translation>
    </message>
    <message>
        <source>正在生成打印文档，请等待....</source>
        <translation>Preparing the print document, please wait....</translation>
    </message>
    <message>
        <source>正在绘制网格，请等待....</source>
        <translation>Drawing the grid, please wait....</translation>
    </message>
    <message>
        <source>正在绘制绣线表格，请等待....</source>
        <translation>Drawing the thread table, please wait....</translation>
    </message>
    <message>
        <source>正在绘制绣线符号，请等待....</source>
        <translation>Drawing the thread symbols, please wait....</translation>
    </message>
    <message>
        <source>正在打印，请等待....</source>
        <translation>Printing, please wait....</translation>
    </message>
    <message>
        <source>正在绘制分页图纸，请等待....</source>
        <translation>Drawing the pattern pages, please wait....</translation>
    </message>
</context>
<context>
    <name>kanvo::ChartSettingsWindow</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> 种</source>
        <translation> threads</translation>
    </message>
    <message>
        <source>绣图最多用这么多种绣线</source>
        <translation>The chart uses at most this many threads</translation>
    </message>
    <message>
        <source>不抖动</source>
        <translation>No dithering</translation>
    </message>
    <message>
        <source>越小色块越干净，越大渐变越平滑</source>
        <translation>Lower gives cleaner blocks, higher gives smoother gradients</translation>
    </message>
    <message>
        <source>不清除</source>
        <translation>No cleanup</translation>
    </message>
    <message>
        <source>设置生成绣图的属性：</source>
        <translation>Settings for generating the chart:</translation>
    </message>
    <message>
        <source>绣线类别：</source>
        <translation>Thread brand:</translation>
    </message>
    <message>
        <source>减色方法：</source>
        <translation>Reduction method:</translation>
    </message>
    <message>
        <source>绣线数量：</source>
        <translation>Threads:</translation>
    </message>
    <message>
        <source>抖动强度：</source>
        <translation>Dithering:</translation>
    </message>
    <message>
        <source>杂点清除：</source>
        <translation>Speckle cleanup:</translation>
    </message>
    <message>
        <source>绣格宽度：</source>
        <translation>Block width:</translation>
    </message>
    <message>
        <source>绣格高度：</source>
        <translation>Block height:</translation>
    </message>
    <message>
        <source>减色强度：</source>
        <translation>Merge strength:</translation>
    </message>
    <message>
        <source>更少的绣线</source>
        <translation>Fewer threads</translation>
    </message>
    <message>
        <source>更好的效果</source>
        <translation>Better result</translation>
    </message>
    <message>
        <source>自动减色功能：</source>
        <translation>Automatic reduction:</translation>
    </message>
    <message>
        <source>缩放时不改变颜色数：</source>
        <translation>Keep colours when zooming:</translation>
    </message>
    <message>
        <source>绣图名称：</source>
        <translation>Chart name:</translation>
    </message>
    <message>
        <source>十字绣图Kanvo       -quillex inc.</source>
        <translation>Kanvo Cross Stitch       -quillex inc.</translation>
    </message>
    <message>
        <source>单针和两针的杂点在远看不失真时并入相邻的颜色；越大清除得越多</source>
        <translation>Single stitches and two-stitch islands join a neighbouring colour when the picture seen from a distance does not suffer; higher values clean more</translation>
    </message>
</context>
<context>
    <name>kanvo::ChartWindow</name>
    <message>
        <source>  绣图文件保存成功在%1</source>
        <translation>  Chart saved to %1</translation>
    </message>
    <message>
        <source>Quillex 你身边的好软件</source>
        <translation>Quillex, good software at your side</translation>
    </message>
    <message>
        <source>请先点一次 生成 按钮，再进行最终效果预览</source>
        <translation>Click Generate once before the final preview</translation>
    </message>
    <message>
        <source>导出PDF图纸</source>
        <translation>Export PDF pattern</translation>
    </message>
    <message>
        <source>正在导出PDF图纸，请等待....</source>
        <translation>Exporting the PDF pattern, please wait....</translation>
    </message>
    <message>
        <source>PDF图纸导出已中止，没有写入文件</source>
        <translation>PDF pattern export stopped; no file was written</translation>
    </message>
    <message>
        <source>奎乐软件</source>
        <translation>Quillex Software</translation>
    </message>
    <message>
        <source>输入有错误,只能是数字</source>
        <translation>Invalid input: numbers only</translation>
    </message>
    <message>
        <source>    只有DMC绣线带有颜色表，请在绣图设置中选择DMC绣线后再生成。    </source>
        <translation>    Only DMC threads have a colour table. Choose DMC threads in Chart settings, then generate again.    </translation>
    </message>
    <message>
        <source>绣图工程 (*.oxs)</source>
        <translation>Chart projects (*.oxs)</translation>
    </message>
    <message>
        <source>还没有绣图可以保存，请先点一次 生成 按钮，或打开一个绣图工程。</source>
        <translation>There is no chart to save yet. Click Generate once, or open a chart project.</translation>
    </message>
    <message>
        <source>保存绣图</source>
        <translation>Save chart</translation>
    </message>
    <message>
        <source>位图文件 (*.bmp)</source>
        <translation>Bitmap files (*.bmp)</translation>
    </message>
    <message>
        <source>打开绣图工程</source>
        <translation>Open chart project</translation>
    </message>
    <message>
        <source>保存绣图工程</source>
        <translation>Save chart project</translation>
    </message>
    <message>
        <source>PDF文件 (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
    <message>
        <source>选择线色文件</source>
        <translation>Choose a thread colour file</translation>
    </message>
    <message>
        <source>线色文件 (*.pal);;所有文件 (*)</source>
        <translation>Thread colour files (*.pal);;All files (*)</translation>
    </message>
    <message>
        <source>保存线色列表</source>
        <translation>Save thread colour list</translation>
    </message>
    <message>
        <source>文本文件 (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>最终效果预览</source>
        <translation>Final preview</translation>
    </message>
    <message>
        <source>读取色卡...</source>
        <translation>Read colour card...</translation>
    </message>
    <message>
        <source>打开绣图工程...</source>
        <translation>Open chart project...</translation>
    </message>
    <message>
        <source>保存绣图工程...</source>
        <translation>Save chart project...</translation>
    </message>
    <message>
        <source>显示全部色块</source>
        <translation>Show all colour blocks</translation>
    </message>
    <message>
        <source>绣线数量：</source>
        <translation>Threads:</translation>
    </message>
    <message>
        <source>可忽略颜色出现次数</source>
        <translation>Ignore colours used fewer times than</translation>
    </message>
    <message>
        <source>减色设置：</source>
        <translation>Colour merging:</translation>
    </message>
    <message>
        <source>更少的绣线</source>
        <translation>Fewer threads</translation>
    </message>
    <message>
        <source>更好的效果</source>
        <translation>Better result</translation>
    </message>
    <message>
        <source>  绣图文件无法保存在%1，原有文件没有改动。
%2</source>
        <translation>  The chart cannot be saved to %1; the existing file was not changed.
%2</translation>
    </message>
    <message>
        <source>还没有生成绣图。</source>
        <translation>No chart has been generated yet.</translation>
    </message>
    <message>
        <source>  PDF图纸无法保存在%1，原有文件没有改动。
%2</source>
        <translation>  The PDF pattern cannot be saved to %1; the existing file was not changed.
%2</translation>
    </message>
    <message>
        <source>PDF图纸已保存：%1</source>
        <translation>PDF pattern saved: %1</translation>
    </message>
    <message>
        <source>  PDF图纸保存成功在%1</source>
        <translation>  PDF pattern saved to %1</translation>
    </message>
    <message>
        <source>  无法打开绣图工程%1
%2</source>
        <translation>  Cannot open the chart project %1
%2</translation>
    </message>
    <message>
        <source>请等绣图生成或打印完成后再打开。</source>
        <translation>Wait until the chart has been generated or printed, then open it again.</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>  绣图工程无法保存在%1
%2</source>
        <translation>  The chart project cannot be saved to %1
%2</translation>
    </message>
    <message>
        <source>  绣图工程保存成功在%1</source>
        <translation>  Chart project saved to %1</translation>
    </message>
    <message>
        <source>读取色卡</source>
        <translation>Read colour card</translation>
    </message>
    <message>
        <source>已读入 %1 条线色记录，列表写入 %2</source>
        <translation>Read %1 thread colour records; the list was written to %2</translation>
    </message>
    <message>
        <source>十字绣图Kanvo ---奎乐软件quillex inc.</source>
        <translation>Kanvo Cross Stitch ---Quillex Software quillex inc.</translation>
    </message>
    <message>
        <source>准备开始生成绣图,请等待约10秒 ...</source>
        <translation>Getting ready to generate the chart, please wait about 10 seconds ...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印..</source>
        <translation>Print..</translation>
    </message>
    <message>
        <source>%1 %2</source>
        <translation>%1 %2</translation>
    </message>
    <message>
        <source>%1 %2  符号 %3</source>
        <translation>%1 %2  symbol %3</translation>
    </message>
</context>
<context>
    <name>kanvo::ColorReplacementWindow</name>
    <message>
        <source>绣图颜色替换－用来减少绣图颜色</source>
        <translation>Chart colour replacement - for fewer chart colours</translation>
    </message>
    <message>
        <source>替换颜色</source>
        <translation>Colour to replace</translation>
    </message>
    <message>
        <source>目标颜色</source>
        <translation>Target colour</translation>
    </message>
    <message>
        <source>&lt;－替换</source>
        <translation>&lt;- Replace</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>撤销 %1</source>
        <translation>Undo %1</translation>
    </message>
    <message>
        <source>替换 DMC %1 为 DMC %2</source>
        <translation>replace DMC %1 with DMC %2</translation>
    </message>
</context>
<context>
    <name>kanvo::DocumentOpener</name>
    <message>
        <source>粘贴图片</source>
        <translation>Paste picture</translation>
    </message>
    <message>
        <source>剪贴板中没有图片。请先复制一张图片，再粘贴。</source>
        <translation>There is no picture on the clipboard. Copy a picture first, then paste it.</translation>
    </message>
</context>
<context>
    <name>kanvo::EditController</name>
    <message>
        <source>十字绣Kanvo</source>
        <translation>Kanvo Cross Stitch</translation>
    </message>
</context>
<context>
    <name>kanvo::FileChooserWindow</name>
    <message>
        <source>十字绣图Kanvo       -quillex inc.</source>
        <translation>Kanvo Cross Stitch       -quillex inc.</translation>
    </message>
    <message>
        <source>选择转换成绣图的图片或则照片：</source>
        <translation>Choose the picture or photo to turn into a chart:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>kanvo::FinalPreviewWindow</name>
    <message>
        <source>最终效果预览</source>
        <translation>Final preview</translation>
    </message>
    <message>
        <source>本预览图使用实际绣线颜色绘制和绣图效果完全相同，为了取得客观效果，</source>
        <translation>This preview is drawn in the real thread colours and looks exactly like the stitched chart. For a fair impression,</translation>
    </message>
    <message>
        <source>请您离开电脑屏幕1-2米的距离观看</source>
        <translation>view it from 1-2 metres away from the screen</translation>
    </message>
    <message>
        <source>按 Esc 键或点击画面关闭</source>
        <translation>Press Esc or click the picture to close</translation>
    </message>
</context>
<context>
    <name>kanvo::GalleryWindow</name>
    <message>
        <source>十字绣图Kanvo ---奎乐软件quillex inc.</source>
        <translation>Kanvo Cross Stitch ---Quillex Software quillex inc.</translation>
    </message>
    <message>
        <source>温馨提示：对于颜色数较少的卡通类图片，可以在 绣图设置-减色方式，选择-&apos;不做减色处理&apos;，且选择 局部，不要对图形做缩放处理。可得到最佳效果</source>
        <translation>Tip: for cartoon pictures with few colours, choose &apos;No colour reduction&apos; as the reduction method in Chart settings and choose Part, without zooming the picture. That gives the best result</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>动漫</source>
        <translation>Anime</translation>
    </message>
    <message>
        <source>美女</source>
        <translation>Beauties</translation>
    </message>
    <message>
        <source>汽车</source>
        <translation>Cars</translation>
    </message>
    <message>
        <source>星座</source>
        <translation>Zodiac</translation>
    </message>
    <message>
        <source>动物</source>
        <translation>Animals</translation>
    </message>
    <message>
        <source>风景</source>
        <translation>Landscapes</translation>
    </message>
    <message>
        <source>艺术</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>   错误的图形文件，无法打开，请确认是jpg,gif,bmp,png格式中的一种   </source>
        <translation>   Cannot open this picture file. Please check that it is a JPG, GIF, BMP or PNG file.   </translation>
    </message>
</context>
<context>
    <name>kanvo::MainWindow</name>
    <message>
        <source>十字绣Kanvo V2008</source>
        <translation>Kanvo Cross Stitch V2008</translation>
    </message>
    <message>
        <source>生成</source>
        <translation>Generate</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>放大预览图片。</source>
        <translation>Enlarge the preview picture.</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source>缩小预览图片</source>
        <translation>Shrink the preview picture</translation>
    </message>
    <message>
        <source>文字</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>给绣图加入文字</source>
        <translation>Add text to the chart</translation>
    </message>
    <message>
        <source>编辑</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>超级减色</source>
        <translation>Super reduction</translation>
    </message>
    <message>
        <source>字体选择</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>字体颜色</source>
        <translation>Font colour</translation>
    </message>
    <message>
        <source>增加颜色，得到更逼真效果。需要更多绣线</source>
        <translation>More colours for a more lifelike result. Needs more threads</translation>
    </message>
    <message>
        <source>只要10种颜色就可以绣出照片般效果，大大节约绣线。这就是quillex的神奇科技!</source>
        <translation>A photo-like result with only 10 colours, saving lots of thread. That is the magic of quillex!</translation>
    </message>
    <message>
        <source>加入文字</source>
        <translation>Add text</translation>
    </message>
    <message>
        <source>我的图片</source>
        <translation>My picture</translation>
    </message>
    <message>
        <source>缩放</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>局部</source>
        <translation>Part</translation>
    </message>
    <message>
        <source>全图</source>
        <translation>Whole</translation>
    </message>
    <message>
        <source>还原</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>在这里输入你的文字</source>
        <translation>Type your text here</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>清除</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>效果预览-&gt;</source>
        <translation>Preview -&gt;</translation>
    </message>
    <message>
        <source>保存效果</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>导入图片</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>绣图图库</source>
        <translation>Gallery</translation>
    </message>
    <message>
        <source>绣图设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>欢迎使用十字绣Kanvo，动手把你的照片做成十字绣！</source>
        <translation>Welcome to Kanvo Cross Stitch: turn your photos into cross-stitch!</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>导入图片文件</source>
        <translation>Import picture file</translation>
    </message>
    <message>
        <source>直接屏幕截图</source>
        <translation>Capture the screen</translation>
    </message>
    <message>
        <source>生成我的绣图</source>
        <translation>Generate my chart</translation>
    </message>
    <message>
        <source>打印绣图</source>
        <translation>Print chart</translation>
    </message>
    <message>
        <source>打开绣图工程...</source>
        <translation>Open chart project...</translation>
    </message>
    <message>
        <source>保存绣图工程...</source>
        <translation>Save chart project...</translation>
    </message>
    <message>
        <source>退出十字绣图Kanvo</source>
        <translation>Exit Kanvo</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>软件设置</source>
        <translation>Program settings</translation>
    </message>
    <message>
        <source>Quillex 你身边的好软件</source>
        <translation>Quillex, good software at your side</translation>
    </message>
    <message>
        <source>   生成绣图前请先点击效果预览键    </source>
        <translation>   Click Preview before generating the chart    </translation>
    </message>
    <message>
        <source>找不到使用说明“%1”，它应在以下文件夹中：
%2</source>
        <translation>The user&apos;s guide &quot;%1&quot; cannot be found. It should be in one of these folders:
%2</translation>
    </message>
    <message>
        <source>没有能打开使用说明的程序。使用说明在：
%1</source>
        <translation>No program can open the user&apos;s guide. The guide is at:
%1</translation>
    </message>
    <message>
        <source>程序已在使用这种语言。</source>
        <translation>The program already uses this language.</translation>
    </message>
    <message>
        <source>界面语言将在下次启动程序时改变。</source>
        <translation>The language changes the next time you start the program.</translation>
    </message>
    <message>
        <source>绣图设置</source>
        <comment>menu</comment>
        <translation>Chart settings</translation>
    </message>
    <message>
        <source>粘贴图片</source>
        <translation>Paste picture</translation>
    </message>
    <message>
        <source>最近打开</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>使用说明</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>关于十字绣Kanvo</source>
        <translation>About Kanvo</translation>
    </message>
</context>
<context>
    <name>kanvo::OverlayDialogs</name>
    <message>
        <source>字体选择</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>字体颜色</source>
        <translation>Font colour</translation>
    </message>
</context>
<context>
    <name>kanvo::PatternDialog</name>
    <message>
        <source>导出PDF图纸</source>
        <translation>Export PDF pattern</translation>
    </message>
    <message>
        <source>Letter (8.5 × 11 英寸)</source>
        <translation>Letter (8.5 × 11 in)</translation>
    </message>
    <message>
        <source> CT（每英寸针数）</source>
        <translation> count (stitches per inch)</translation>
    </message>
    <message>
        <source>自动（2.5 至 3 mm，页数最少）</source>
        <translation>Automatic (2.5 to 3 mm, fewest pages)</translation>
    </message>
    <message>
        <source> 行/列</source>
        <translation> rows/columns</translation>
    </message>
    <message>
        <source>浅色底（适合打印）</source>
        <translation>Light tint (for printing)</translation>
    </message>
    <message>
        <source>全彩（适合平板）</source>
        <translation>Full colour (for tablets)</translation>
    </message>
    <message>
        <source>纸张：</source>
        <translation>Paper:</translation>
    </message>
    <message>
        <source>绣布：</source>
        <translation>Fabric:</translation>
    </message>
    <message>
        <source>格子大小：</source>
        <translation>Cell size:</translation>
    </message>
    <message>
        <source>重叠：</source>
        <translation>Overlap:</translation>
    </message>
    <message>
        <source>样式：</source>
        <translation>Style:</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>打印</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>打印绣图</source>
        <translation>Print chart</translation>
    </message>
    <message>
        <source>分页图纸</source>
        <translation>Pattern pages</translation>
    </message>
    <message>
        <source>单页绣图</source>
        <translation>One-page chart</translation>
    </message>
    <message>
        <source>这张绣图放不进一页，请用分页图纸：封面、线表和分页图，每格 2.5 至 3 mm。</source>
        <translation>This chart does not fit on one page. Print the pattern pages: cover, thread key and chart pages, 2.5 to 3 mm per cell.</translation>
    </message>
    <message>
        <source>单页绣图每格 %1 mm，符号放得下。分页图纸另有封面、线表和分页图。</source>
        <translation>The one-page chart has %1 mm cells, large enough for the symbols. The pattern pages add a cover, a thread key and chart pages.</translation>
    </message>
    <message>
        <source>单页绣图每格只有 %1 mm，放不下符号，会糊成一片；分页图纸把绣图分到几页上，每格 2.5 至 3 mm，符号清楚。</source>
        <translation>The one-page chart has only %1 mm cells, too small for the symbols, which run together; the pattern pages spread the chart over several pages with 2.5 to 3 mm cells and clear symbols.</translation>
    </message>
    <message>
        <source>打印方式：</source>
        <translation>Print as:</translation>
    </message>
</context>
<context>
    <name>kanvo::RecentFiles</name>
    <message>
        <source>最近打开</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>文件“%1”已不存在，已从最近打开的列表中删除。</source>
        <translation>The file &quot;%1&quot; no longer exists; it has been removed from the recent files.</translation>
    </message>
    <message>
        <source>清除列表</source>
        <translation>Clear list</translation>
    </message>
</context>
<context>
    <name>kanvo::ReductionController</name>
    <message>
        <source>十字绣Kanvo</source>
        <translation>Kanvo Cross Stitch</translation>
    </message>
    <message>
        <source>错误！</source>
        <translation>Error!</translation>
    </message>
</context>
<context>
    <name>kanvo::StitchToolPanel</name>
    <message>
        <source>画笔</source>
        <translation>Pencil</translation>
    </message>
    <message>
        <source>点击或拖动：把绣格设为当前绣线</source>
        <translation>Click or drag: set cells to the current thread</translation>
    </message>
    <message>
        <source>橡皮</source>
        <translation>Eraser</translation>
    </message>
    <message>
        <source>点击或拖动：清空绣格</source>
        <translation>Click or drag: empty cells</translation>
    </message>
    <message>
        <source>填充</source>
        <translation>Fill</translation>
    </message>
    <message>
        <source>相连的同色区域改为当前绣线</source>
        <translation>The joined area of one thread becomes the current thread</translation>
    </message>
    <message>
        <source>吸管</source>
        <translation>Pick</translation>
    </message>
    <message>
        <source>点击绣格或图例：取其绣线</source>
        <translation>Click a cell or a legend entry: take its thread</translation>
    </message>
    <message>
        <source>选区</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>拖出矩形选区；Delete 清空选区</source>
        <translation>Drag a rectangle; Delete empties it</translation>
    </message>
    <message>
        <source>当前绣线：</source>
        <translation>Thread:</translation>
    </message>
    <message>
        <source>绣图中的绣线</source>
        <translation>The chart&apos;s threads</translation>
    </message>
    <message>
        <source>线号，如 3865</source>
        <translation>Number, e.g. 3865</translation>
    </message>
    <message>
        <source>输入色卡上的线号后按回车，可选用绣图中没有的绣线</source>
        <translation>Type a thread number from the colour card and press Enter to use a thread the chart does not have yet</translation>
    </message>
    <message>
        <source>删除选区</source>
        <translation>Delete selection</translation>
    </message>
    <message>
        <source>填充选区</source>
        <translation>Fill selection</translation>
    </message>
    <message>
        <source>去除背景</source>
        <translation>Remove background</translation>
    </message>
    <message>
        <source>清空与绣图边缘相连的背景色区域</source>
        <translation>Empty the background area joined to the chart&apos;s edge</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>色卡上没有线号 %1</source>
        <translation>No thread %1 on the colour card</translation>
    </message>
    <message>
        <source>%1  %2</source>
        <translation>%1  %2</translation>
    </message>
    <message>
        <source>DMC %1</source>
        <translation>DMC %1</translation>
    </message>
    <message>
        <source>（未选）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>回针</source>
        <translation>Back stitch</translation>
    </message>
    <message>
        <source>从一个格点拖到另一个格点；或逐点单击连成折线，Esc 或右键结束</source>
        <translation>Drag from one grid point to another, or click point after point for a chain; Esc or a right click ends it</translation>
    </message>
    <message>
        <source>半针</source>
        <translation>Half stitch</translation>
    </message>
    <message>
        <source>点击绣格：按下面的选择绣半针或四分之一针</source>
        <translation>Click a cell: a half or quarter stitch, as chosen below</translation>
    </message>
    <message>
        <source>法式结</source>
        <translation>French knot</translation>
    </message>
    <message>
        <source>点击：在最近的格点绣法式结</source>
        <translation>Click: a French knot on the nearest grid point</translation>
    </message>
    <message>
        <source>/</source>
        <translation>/</translation>
    </message>
    <message>
        <source>半针 /</source>
        <translation>Half stitch /</translation>
    </message>
    <message>
        <source>\</source>
        <translation>\</translation>
    </message>
    <message>
        <source>半针 \</source>
        <translation>Half stitch \</translation>
    </message>
    <message>
        <source>¼</source>
        <translation>¼</translation>
    </message>
    <message>
        <source>四分之一针：绣在所点的角</source>
        <translation>Quarter stitch, in the corner clicked</translation>
    </message>
</context>
</TS>
