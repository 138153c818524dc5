/* コマンドライン引数を 1 つずつ表示する */
/* [ビルド] → [引数を指定して実行] で引数を渡して試す */
#include <stdio.h>

int main(int argc, char *argv[])
{
    int i;

    printf("引数の数: %d\n", argc - 1); /* argv[0] はプログラムの名前 */
    for (i = 1; i < argc; i++) {
        printf("%d 番目: %s\n", i, argv[i]);
    }
    return 0;
}
