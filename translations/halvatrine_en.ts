<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AboutBox</name>
    <message>
        <source>Halvatrineのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Halvatrine</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>式を保存(&amp;F)...</source>
        <translation>Save &amp;Formula...</translation>
    </message>
    <message>
        <source>この画面の式をサンプルに保存</source>
        <translation>Save this picture's formula to the samples</translation>
    </message>
    <message>
        <source>画像を保存(&amp;A)...</source>
        <translation>S&amp;ave Picture...</translation>
    </message>
    <message>
        <source>画像をBMPファイルとして保存</source>
        <translation>Save the picture as a BMP file</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>印刷(&amp;P)...	Ctrl+P</source>
        <translation>&amp;Print...	Ctrl+P</translation>
    </message>
    <message>
        <source>画面の印刷プレビューを表示して印刷</source>
        <translation>Show the print preview of the picture and print it</translation>
    </message>
    <message>
        <source>印刷</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>画面を印刷</source>
        <translation>Print the picture</translation>
    </message>
    <message>
        <source>ﾌﾟﾘﾝﾀの設定(&amp;R)...</source>
        <translation>P&amp;rinter Setup...</translation>
    </message>
    <message>
        <source>プリンタの設定を変更</source>
        <translation>Change the printer settings</translation>
    </message>
    <message>
        <source>画面の終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>この画面をを終了</source>
        <translation>Close this picture</translation>
    </message>
    <message>
        <source>色の設定(&amp;C)...</source>
        <translation>&amp;Colours...</translation>
    </message>
    <message>
        <source>画面の色を設定する</source>
        <translation>Set the colours of the picture</translation>
    </message>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰ(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>ツール バーの表示/非表示</source>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰ(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ステータス バーの表示/非表示</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>分割(&amp;P)</source>
        <translation>S&amp;plit</translation>
    </message>
    <message>
        <source>ウィンドウを分割</source>
        <translation>Split the window</translation>
    </message>
    <message>
        <source>コンポネント(&amp;M)...</source>
        <translation>Co&amp;mponents...</translation>
    </message>
    <message>
        <source>コンポネント,表示範囲、不動点、クリティカルポイント表示</source>
        <translation>Show the components, the range, the fixed points and the critical points</translation>
    </message>
    <message>
        <source>式の係数(&amp;F)...</source>
        <translation>&amp;Formula Coefficients...</translation>
    </message>
    <message>
        <source>この画面の式の係数を表示</source>
        <translation>Show the coefficients of this picture's formula</translation>
    </message>
    <message>
        <source>軌道表示(&amp;O)...</source>
        <translation>&amp;Orbits...</translation>
    </message>
    <message>
        <source>クリティカルポイントの軌道、その他の点の軌道表示</source>
        <translation>Show the orbits of the critical points and of other points</translation>
    </message>
    <message>
        <source>ﾄﾋﾟｯｸの検索(&amp;H)</source>
        <translation>&amp;Help Topics</translation>
    </message>
    <message>
        <source>ヘルプの目次を表示</source>
        <translation>Show the contents of the help</translation>
    </message>
    <message>
        <source>Halvatrine のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Halvatrine...</translation>
    </message>
    <message>
        <source>プログラム情報、バージョン、著作権を表示</source>
        <translation>Show the program information, version and copyright</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>クリックした項目のヘルプを表示</source>
        <translation>Show the help for the item clicked next</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Halvatrine ﾌｧｲﾙ (*.bmp)</source>
        <translation>Halvatrine files (*.bmp)</translation>
    </message>
    <message>
        <source>描画中止</source>
        <translation>Stop</translation>
    </message>
</context>
<context>
    <name>ColourDialog</name>
    <message>
        <source>カラー設定ダイアログ</source>
        <translation>Colour Settings</translation>
    </message>
    <message>
        <source>例外色指定</source>
        <translation>Exception Colours</translation>
    </message>
    <message>
        <source>歪み</source>
        <translation>Distortion</translation>
    </message>
</context>
<context>
    <name>ComponentInfoDialog</name>
    <message>
        <source>コンポネント</source>
        <translation>Components</translation>
    </message>
</context>
<context>
    <name>ComponentSelectDialog</name>
    <message>
        <source>コンポネント選択</source>
        <translation>Choose Component</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>色を指定したいコンポネントを選択して設定ﾎﾞﾀﾝを押してください。灰色の領域が設定対象です。</source>
        <translation>Choose the component to colour and press Set. The grey area is the component.</translation>
    </message>
    <message>
        <source>ピクセル数</source>
        <translation>Pixels</translation>
    </message>
    <message>
        <source>無限遠</source>
        <translation>Infinity</translation>
    </message>
    <message>
        <source>不明</source>
        <translation>Unknown</translation>
    </message>
</context>
<context>
    <name>CriticalPointDialog</name>
    <message>
        <source>クリティカルポイントの選択</source>
        <translation>Choose Critical Points</translation>
    </message>
    <message>
        <source>クリティカルポイントを選択</source>
        <translation>Choose the critical points</translation>
    </message>
</context>
<context>
    <name>ErrorDialog</name>
    <message>
        <source>エラーメッセージ</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ExceptionColourDialog</name>
    <message>
        <source>例外色設定</source>
        <translation>Exception Colours</translation>
    </message>
    <message>
        <source>指定を解除する場合は番号を空欄にしてください</source>
        <translation>To remove a colour, clear its number</translation>
    </message>
</context>
<context>
    <name>FormulaDialog</name>
    <message>
        <source>式</source>
        <translation>Formula</translation>
    </message>
</context>
<context>
    <name>MainDialog</name>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>式を保存(&amp;S)</source>
        <translation>&amp;Save Formula</translation>
    </message>
    <message>
        <source>式を削除(&amp;D)</source>
        <translation>&amp;Delete Formula</translation>
    </message>
    <message>
        <source>終了(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>設定(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>トピックの検索(&amp;H)</source>
        <translation>&amp;Help Topics</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;A)...</source>
        <translation>&amp;About...</translation>
    </message>
    <message>
        <source>Mandelbrot集合</source>
        <translation>Mandelbrot set</translation>
    </message>
    <message>
        <source>Julia集合</source>
        <translation>Julia set</translation>
    </message>
    <message>
        <source>表示形式</source>
        <translation>Display form</translation>
    </message>
    <message>
        <source>X + Y i 形式&#x3000;</source>
        <translation>X + Y i form </translation>
    </message>
    <message>
        <source>極形式</source>
        <translation>Polar form</translation>
    </message>
    <message>
        <source>式の係数</source>
        <translation>Coefficients</translation>
    </message>
    <message>
        <source>分子</source>
        <translation>Numerator</translation>
    </message>
    <message>
        <source>分母</source>
        <translation>Denominator</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>OrbitDialog</name>
    <message>
        <source>軌道</source>
        <translation>Orbits</translation>
    </message>
    <message>
        <source>軌道を表示したいクリティカルポイントを選んでください</source>
        <translation>Choose the critical points whose orbits are shown</translation>
    </message>
    <message>
        <source>全選択</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>全解除</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <source>描画Start</source>
        <translation>Draw</translation>
    </message>
    <message>
        <source>ループ回数</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>倍率</source>
        <translation>Magnification</translation>
    </message>
    <message>
        <source>点の大きさ</source>
        <translation>Point size</translation>
    </message>
    <message>
        <source>クリティカルポイント以外の点の軌道を表示する場合は画面をCtrl+ピックしてください</source>
        <translation>To show the orbit of another point, Ctrl+click it in the picture</translation>
    </message>
    <message>
        <source>マウス位置</source>
        <translation>Mouse position</translation>
    </message>
</context>
<context>
    <name>ParameterBar</name>
    <message>
        <source>収束半径</source>
        <translation>Convergence radius</translation>
    </message>
    <message>
        <source>画面サイズ縦</source>
        <translation>Picture height</translation>
    </message>
    <message>
        <source>(ピクセル）横</source>
        <translation>(pixels) width</translation>
    </message>
    <message>
        <source>ループ回数</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>描画ｽﾀｰﾄ</source>
        <translation>Start Drawing</translation>
    </message>
    <message>
        <source>次の倍率</source>
        <translation>Next magnification</translation>
    </message>
    <message>
        <source>中心&#x3000;X座標</source>
        <translation>Centre X</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;&#x3000;&#x3000;Y座標</source>
        <translation>    Y</translation>
    </message>
    <message>
        <source>パラメータを設定して描画スタートボタンを押してください</source>
        <translation>Set the parameters and press Start Drawing</translation>
    </message>
    <message>
        <source>バックグラウンド</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>マウス位置</source>
        <translation>Mouse position</translation>
    </message>
    <message>
        <source>現倍率 </source>
        <translation>Magnification </translation>
    </message>
</context>
<context>
    <name>PrintInfoDialog</name>
    <message>
        <source>印刷情報</source>
        <translation>Print Information</translation>
    </message>
    <message>
        <source>余白(0ミリ～50ミリ）</source>
        <translation>Margin (0 mm to 50 mm)</translation>
    </message>
    <message>
        <source>コメント</source>
        <translation>Comment</translation>
    </message>
</context>
<context>
    <name>SampleDeleteDialog</name>
    <message>
        <source>式の削除</source>
        <translation>Delete Formula</translation>
    </message>
    <message>
        <source>削除したい式を選んで削除ボタンを押してください</source>
        <translation>Select the formulas to delete and press Delete</translation>
    </message>
</context>
<context>
    <name>SampleLoadDialog</name>
    <message>
        <source>Halvatrine&#x3000;サンプル</source>
        <translation>Halvatrine Samples</translation>
    </message>
    <message>
        <source>サンプルを選んでOKを押してください</source>
        <translation>Choose a sample and press OK</translation>
    </message>
</context>
<context>
    <name>SampleSaveDialog</name>
    <message>
        <source>式の保存</source>
        <translation>Save Formula</translation>
    </message>
    <message>
        <source>現在の式をサンプルに追加します</source>
        <translation>The current formula is added to the samples</translation>
    </message>
    <message>
        <source>サンプル一覧</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>名前を入力してください</source>
        <translation>Enter a name</translation>
    </message>
</context>
<context>
    <name>SaveFormulaDialog</name>
    <message>
        <source>式の保存</source>
        <translation>Save Formula</translation>
    </message>
    <message>
        <source>現在の式をサンプルに追加します</source>
        <translation>The current formula is added to the samples</translation>
    </message>
    <message>
        <source>サンプル一覧</source>
        <translation>Samples</translation>
    </message>
    <message>
        <source>名前を入力してください</source>
        <translation>Enter a name</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>ジーゲルディスク/エルマンリングを扱う</source>
        <translation>Look for Siegel disks and Herman rings</translation>
    </message>
    <message>
        <source>ディフォルト</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>パラメータ設定</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>ループ回数MAX</source>
        <translation>Maximum iterations</translation>
    </message>
    <message>
        <source>収束半径</source>
        <translation>Convergence radius</translation>
    </message>
    <message>
        <source>連続とみなす最大間隔</source>
        <translation>Largest gap of a continuous curve</translation>
    </message>
    <message>
        <source>In/Out判定</source>
        <translation>In/Out distance</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>無限遠 S_ATTRACTING</source>
        <translation>Infinity S_ATTRACTING</translation>
    </message>
    <message>
        <source>無限遠 ATTRACTING</source>
        <translation>Infinity ATTRACTING</translation>
    </message>
    <message>
        <source>無限遠 INDIFFERENT</source>
        <translation>Infinity INDIFFERENT</translation>
    </message>
    <message>
        <source>データ不正 不正種別</source>
        <translation>Invalid data, kind </translation>
    </message>
    <message>
        <source> 周期</source>
        <translation> period </translation>
    </message>
    <message>
        <source>周期点 周期</source>
        <translation>Cycle, period </translation>
    </message>
    <message>
        <source> 不正種別</source>
        <translation> invalid kind</translation>
    </message>
    <message>
        <source>不動点 </source>
        <translation>Fixed point </translation>
    </message>
    <message>
        <source>SiegelDisk 周期</source>
        <translation>SiegelDisk period </translation>
    </message>
    <message>
        <source>HermanRing 周期</source>
        <translation>HermanRing period </translation>
    </message>
    <message>
        <source>分母が０です。割り算ができません。</source>
        <translation>The denominator is 0. The division cannot be made.</translation>
    </message>
    <message>
        <source>分子が０です。常に０の関数は扱えません。</source>
        <translation>The numerator is 0. A map that is always 0 cannot be used.</translation>
    </message>
    <message>
        <source>分子の次数か分母の次数が２以上になるようにしてください。</source>
        <translation>The numerator or the denominator must have degree 2 or more.</translation>
    </message>
    <message>
        <source>実部 </source>
        <translation>Re </translation>
    </message>
    <message>
        <source> 虚部 </source>
        <translation> Im </translation>
    </message>
    <message>
        <source>全選択</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>全解除</source>
        <translation>Clear All</translation>
    </message>
    <message>
        <source>スタート</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>クリティカルポイントが選択されていません。最低1個選択してください。</source>
        <translation>No critical point is selected. Select at least one.</translation>
    </message>
    <message>
        <source>画面数が多すぎます。どれかを閉じてから実行してください</source>
        <translation>Too many pictures are open. Close one and try again.</translation>
    </message>
    <message>
        <source>ウィンドウをすべて閉じますか</source>
        <translation>Close all windows?</translation>
    </message>
    <message>
        <source>閉曲線を検出、解析中です。しばらくお待ちください。</source>
        <translation>Closed curves found; analysing them. Please wait.</translation>
    </message>
    <message>
        <source>０次</source>
        <translation>z^0</translation>
    </message>
    <message>
        <source>１次</source>
        <translation>z^1</translation>
    </message>
    <message>
        <source>２次</source>
        <translation>z^2</translation>
    </message>
    <message>
        <source>３次</source>
        <translation>z^3</translation>
    </message>
    <message>
        <source>４次</source>
        <translation>z^4</translation>
    </message>
    <message>
        <source>５次</source>
        <translation>z^5</translation>
    </message>
    <message>
        <source>６次</source>
        <translation>z^6</translation>
    </message>
    <message>
        <source>７次</source>
        <translation>z^7</translation>
    </message>
    <message>
        <source>８次</source>
        <translation>z^8</translation>
    </message>
    <message>
        <source>９次</source>
        <translation>z^9</translation>
    </message>
    <message>
        <source>10次</source>
        <translation>z^10</translation>
    </message>
    <message>
        <source>実部</source>
        <translation>Real</translation>
    </message>
    <message>
        <source>虚部</source>
        <translation>Imaginary</translation>
    </message>
    <message>
        <source>絶対値</source>
        <translation>Modulus</translation>
    </message>
    <message>
        <source>偏角</source>
        <translation>Argument</translation>
    </message>
    <message>
        <source>実行</source>
        <translation>Execute</translation>
    </message>
    <message>
        <source>クリア</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>サンプル読み込み</source>
        <translation>Load Sample</translation>
    </message>
    <message>
        <source>すべて閉じる</source>
        <translation>Close All</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>サンプルが選択されていません。</source>
        <translation>No sample is selected.</translation>
    </message>
    <message>
        <source>式の数が多すぎるため格納できません</source>
        <translation>There are too many formulas; the formula cannot be stored.</translation>
    </message>
    <message>
        <source>名前をつけてください。</source>
        <translation>Please give a name.</translation>
    </message>
    <message>
        <source>すでに同じ名前が使われています。</source>
        <translation>The same name is already in use.</translation>
    </message>
    <message>
        <source>式の係数がオーバーフローするため格納できません</source>
        <translation>The coefficients are too large; the formula cannot be stored.</translation>
    </message>
    <message>
        <source>SampleData.dat に書き込めませんでした。式は保存されていません。</source>
        <translation>SampleData.dat could not be written. The formula is not saved.</translation>
    </message>
    <message>
        <source>SampleData.dat を書き換えられませんでした。式は削除されていません。</source>
        <translation>SampleData.dat could not be rewritten. No formula is deleted.</translation>
    </message>
    <message>
        <source>Halvatrine ヘルプ</source>
        <translation>Halvatrine Help</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>緑</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>青</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>枠１</source>
        <translation>Frame 1</translation>
    </message>
    <message>
        <source>枠2</source>
        <translation>Frame 2</translation>
    </message>
    <message>
        <source>周期</source>
        <translation>Cycle</translation>
    </message>
    <message>
        <source>位相</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>%d番目の番号 %lld は小さすぎます。%lld以上にしてください。</source>
        <translation>Row %d: the number %lld is too small. Use %lld or more.</translation>
    </message>
    <message>
        <source>%d番目の番号 %lld は大きすぎます。%lld以下にしてください。</source>
        <translation>Row %d: the number %lld is too large. Use %lld or less.</translation>
    </message>
    <message>
        <source>%d番目のと%d番目の番号 %lld が重なっています。同じ番号は指定できません。</source>
        <translation>Rows %d and %d both give the number %lld. A number can be given only once.</translation>
    </message>
    <message>
        <source>番号%d～%d</source>
        <translation>Number %d to %d</translation>
    </message>
    <message>
        <source>表示範囲</source>
        <translation>Range</translation>
    </message>
    <message>
        <source>不動点</source>
        <translation>Fixed points</translation>
    </message>
    <message>
        <source>クリティカルポイント</source>
        <translation>Critical points</translation>
    </message>
    <message>
        <source>コンポネント</source>
        <translation>Components</translation>
    </message>
    <message>
        <source>このコンポネントにはピクセルがないため色の設定はできません。</source>
        <translation>This component has no pixels, so its colours cannot be set.</translation>
    </message>
    <message>
        <source>次数</source>
        <translation>degree </translation>
    </message>
    <message>
        <source> 実部 </source>
        <translation> Re </translation>
    </message>
    <message>
        <source> 虚部</source>
        <translation> Im </translation>
    </message>
    <message>
        <source> ～ </source>
        <translation> to </translation>
    </message>
    <message>
        <source>虚部 </source>
        <translation>Im </translation>
    </message>
    <message>
        <source>分子&#x3000;</source>
        <translation>Numerator </translation>
    </message>
    <message>
        <source>分母&#x3000;</source>
        <translation>Denominator </translation>
    </message>
    <message>
        <source>不正種別</source>
        <translation>Invalid kind </translation>
    </message>
    <message>
        <source>テキストが入りません。文字が一部欠けます。</source>
        <translation>The text does not fit. Part of it is cut off.</translation>
    </message>
    <message>
        <source>式</source>
        <translation>Formula</translation>
    </message>
    <message>
        <source>画像の範囲</source>
        <translation>Picture range</translation>
    </message>
    <message>
        <source>ループ回数</source>
        <translation>Iterations</translation>
    </message>
    <message>
        <source>  実部 </source>
        <translation>  Re </translation>
    </message>
    <message>
        <source>式
</source>
        <translation>Formula
</translation>
    </message>
    <message>
        <source>  分子&#x3000;</source>
        <translation>  Numerator </translation>
    </message>
    <message>
        <source>  分母&#x3000;</source>
        <translation>  Denominator </translation>
    </message>
    <message>
        <source>  不正種別</source>
        <translation>  Invalid kind </translation>
    </message>
    <message>
        <source>表示範囲
  実部 </source>
        <translation>Range
  Re </translation>
    </message>
    <message>
        <source>
  虚部 </source>
        <translation>
  Im </translation>
    </message>
    <message>
        <source>ループ回数 </source>
        <translation>Iterations </translation>
    </message>
    <message>
        <source>不動点
</source>
        <translation>Fixed points
</translation>
    </message>
    <message>
        <source>クリティカルポイント
</source>
        <translation>Critical points
</translation>
    </message>
    <message>
        <source>SampleData.dat に書き込めませんでした。</source>
        <translation>SampleData.dat could not be written.</translation>
    </message>
    <message>
        <source>描画中です。</source>
        <translation>Drawing.</translation>
    </message>
    <message>
        <source>拡大/縮小は「次の倍率」をセットしてShiftキーを押しながらピック。</source>
        <translation>To zoom, set &quot;Next magnification&quot; and click with Shift held down.</translation>
    </message>
    <message>
        <source>拡大/縮小は「次の倍率」をセットしてShift+ピック。Julia集合はCtrl+ピック</source>
        <translation>To zoom, set &quot;Next magnification&quot; and Shift+click. For a Julia set, Ctrl+click.</translation>
    </message>
    <message>
        <source>描画が終わらないと設定できません。</source>
        <translation>This can be set only when the drawing is finished.</translation>
    </message>
    <message>
        <source>Mandelbrot集合では軌道表示はできません。</source>
        <translation>Orbits cannot be shown on a Mandelbrot set.</translation>
    </message>
    <message>
        <source>カナ</source>
        <translation>KANA</translation>
    </message>
    <message>
        <source>画面サイズ横が０です。1以上%d以下にしてください。</source>
        <translation>The picture width is 0. Use 1 to %d.</translation>
    </message>
    <message>
        <source>画面サイズ縦が０です。1以上%d以下にしてください。</source>
        <translation>The picture height is 0. Use 1 to %d.</translation>
    </message>
    <message>
        <source>ループ回数が０です。1以上%d以下にしてください。</source>
        <translation>The iteration count is 0. Use 1 to %d.</translation>
    </message>
    <message>
        <source>収束半径が０です。0より大きくしてください。</source>
        <translation>The convergence radius is 0. Use a number above 0.</translation>
    </message>
    <message>
        <source>倍率が０です。0より大きくしてください。</source>
        <translation>The magnification is 0. Use a number above 0.</translation>
    </message>
    <message>
        <source>不動点 S_ATTRACTING  </source>
        <translation>Fixed point S_ATTRACTING  </translation>
    </message>
    <message>
        <source>不動点 ATTRACTING  </source>
        <translation>Fixed point ATTRACTING  </translation>
    </message>
    <message>
        <source>不動点 INDIFFERENT  </source>
        <translation>Fixed point INDIFFERENT  </translation>
    </message>
    <message>
        <source>不動点 REPELLING</source>
        <translation>Fixed point REPELLING</translation>
    </message>
    <message>
        <source>周期点 周期%d S_ATTRACTING  </source>
        <translation>Cycle, period %d S_ATTRACTING  </translation>
    </message>
    <message>
        <source>周期点 周期%d ATTRACTING  </source>
        <translation>Cycle, period %d ATTRACTING  </translation>
    </message>
    <message>
        <source>周期点 周期%d INDIFFERENT  </source>
        <translation>Cycle, period %d INDIFFERENT  </translation>
    </message>
    <message>
        <source>周期点 周期%d REPELLING  </source>
        <translation>Cycle, period %d REPELLING  </translation>
    </message>
    <message>
        <source>周期点 周期%d 不正種別  </source>
        <translation>Cycle, period %d invalid kind  </translation>
    </message>
    <message>
        <source>無限遠  </source>
        <translation>Infinity  </translation>
    </message>
    <message>
        <source>不明  </source>
        <translation>Unknown  </translation>
    </message>
    <message>
        <source>SiegelDisk 周期%d </source>
        <translation>SiegelDisk period %d </translation>
    </message>
    <message>
        <source>HermanRing 周期%d </source>
        <translation>HermanRing period %d </translation>
    </message>
    <message>
        <source>データ不正 不正種別%d 周期%d</source>
        <translation>Invalid data, kind %d period %d</translation>
    </message>
    <message>
        <source>番号 %d</source>
        <translation>Number %d</translation>
    </message>
    <message>
        <source>描画が終わらないと保存できません。</source>
        <translation>The picture can be saved only when the drawing is finished.</translation>
    </message>
    <message>
        <source>マップドファイル%d [%s] のオープンに失敗しました。</source>
        <translation>Shared block %d [%s] could not be opened.</translation>
    </message>
    <message>
        <source>マップドファイル%dのオープンに失敗しました。</source>
        <translation>Shared block %d could not be opened.</translation>
    </message>
</context>
<context>
    <name>UnknownColourDialog</name>
    <message>
        <source>不明色設定</source>
        <translation>Unknown Colour</translation>
    </message>
</context>
<context>
    <name>VersionDialog</name>
    <message>
        <source>Halvatrineのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Halvatrine</translation>
    </message>
</context>
</TS>
